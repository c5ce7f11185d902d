# the clean-up program's own work (tools/fwcleanup), linked in
target_sources(fwnative_tests PRIVATE fwcleanup/fwcleanup_test.cpp)
target_link_libraries(fwnative_tests PRIVATE fwcleanup_core)
