# wizard initialisation: processor affinity
target_sources(fwnative_tests PRIVATE wizardinit/process_affinity_test.cpp)
