# desktop service: shell folder tokens, program folders, shortcut items
target_sources(fwnative_core PRIVATE
  desktop/trailing_separator.cpp
  desktop/shell_notification.cpp
  desktop/shell_folders.cpp
  desktop/program_folder.cpp
  desktop/shortcut.cpp
  desktop/desktop_service.cpp
  desktop/desktop_item_files.cpp
)
target_link_libraries(fwnative_core PUBLIC shell32 ole32 uuid)
