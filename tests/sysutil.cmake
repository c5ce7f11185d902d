# system utilities: start-up commands, operating-system level, boot directory
target_sources(fwnative_tests PRIVATE sysutil/system_util_service_test.cpp
  sysutil/delete_after_exit_test.cpp)
