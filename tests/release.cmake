# What ships: the programs' version resources.
target_sources(fwnative_tests PRIVATE
  release/version_resource_test.cpp
)
target_compile_definitions(fwnative_tests PRIVATE FW_PROJECT_VERSION="${PROJECT_VERSION}")
target_link_libraries(fwnative_tests PRIVATE version)
