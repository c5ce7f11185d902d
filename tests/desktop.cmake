# desktop service: shell folder tokens, program folders, shortcut items
target_sources(fwnative_tests PRIVATE
  desktop/shell_folders_test.cpp
  desktop/program_folder_test.cpp
  desktop/shortcut_test.cpp
  desktop/desktop_item_files_test.cpp
)
