# environment: process and persistent environment variables
target_sources(fwnative_tests PRIVATE environment/environment_test.cpp)
