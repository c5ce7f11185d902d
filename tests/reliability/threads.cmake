# Eight threads at once answer as one alone and leave nothing behind: the library keeps no state.
# The thread script is a library of its own, whose objects the threads benchmark takes too.
add_library(fwtest_thread_script STATIC reliability/thread_script.cpp)
target_include_directories(fwtest_thread_script PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(fwtest_thread_script PRIVATE fwnative_core fwcall_core)
target_sources(fwnative_tests PRIVATE reliability/threads_test.cpp)
target_link_libraries(fwnative_tests PRIVATE fwtest_thread_script fwcall_core)
