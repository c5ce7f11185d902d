# desktop service: shell folder tokens, program folders, shortcut items
target_sources(fwnative_core PRIVATE
  desktop/trailing_separator.cpp
)
