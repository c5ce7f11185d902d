# system utilities: start-up commands, deleting files after the installer exits, operating-system
# level and boot directory
target_sources(fwnative_core PRIVATE
  sysutil/startup_commands.cpp
  sysutil/java_string_vector.cpp
  sysutil/after_exit_list.cpp
  sysutil/cleanup_request.cpp
  sysutil/system_level.cpp
)
