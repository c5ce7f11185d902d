# system utilities: start-up commands, operating-system level and boot directory
target_sources(fwnative_core PRIVATE
  sysutil/startup_commands.cpp
  sysutil/java_string_vector.cpp
  sysutil/system_level.cpp
)
