# Eight threads at once answer as one alone and leave nothing behind: the library keeps no state
target_sources(fwnative_tests PRIVATE
  reliability/thread_script.cpp
  reliability/threads_test.cpp
)
