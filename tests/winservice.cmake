# Windows service control: argument checks and codes, a real service (service/fwtestsvc.exe), and
# substitutes for what Wine does not do
target_sources(fwnative_tests PRIVATE winservice/service_test.cpp)
