# desktop service: shell folder tokens, program folders, shortcut items
target_sources(fwnative_tests PRIVATE desktop/desktop_test.cpp)
