# What ships: the programs' version resources.
target_sources(fwnative_tests PRIVATE
  release/version_resource_test.cpp
)
target_compile_definitions(fwnative_tests PRIVATE FW_PROJECT_VERSION="${PROJECT_VERSION}")
target_link_libraries(fwnative_tests PRIVATE version)

# The import check every build runs (scripts/check-dll.sh): binaries that import what Windows 95,
# NT 4.0 or the first 64-bit Windows lacks must fail it, naming the function and the system.
add_test(NAME check_dll_imports
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-dll-test.sh ${FW_MINGW_TRIPLE} $<TARGET_FILE:fwnative>)
