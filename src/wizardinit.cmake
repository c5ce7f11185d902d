# wizard initialisation: processor affinity of the installer process
target_sources(fwnative_core PRIVATE
  wizardinit/process_affinity.cpp
)
