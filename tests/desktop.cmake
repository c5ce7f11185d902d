# desktop service: shell folder tokens, program folders, shortcut items
target_sources(fwnative_tests PRIVATE
  desktop/shell_folders_test.cpp
  desktop/desktop_service_test.cpp
)
