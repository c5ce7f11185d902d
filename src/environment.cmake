# environment: process variables and the persistent ones Windows keeps in the registry
target_sources(fwnative_core PRIVATE
  environment/process_environment.cpp
  environment/persistent_environment.cpp
)
