# The release archive, fwnative-<version>.zip, made in the x86_64 tree from this tree's programs and
# those of the i686 tree (FW_X86_BUILD_DIR, built first): scripts/release.sh builds both, then the
# target `release` here. What it holds and how it is dated: cmake/release_contents.cmake.
set(FW_X86_BUILD_DIR "${PROJECT_SOURCE_DIR}/build/i686" CACHE PATH "The i686 build tree whose programs go in x86/")
find_program(FW_JAR jar HINTS "${FW_JDK_HOME}/bin" REQUIRED)
find_program(FW_JAVADOC javadoc HINTS "${FW_JDK_HOME}/bin" REQUIRED)
set(FW_RELEASE_ARCHIVE "${CMAKE_BINARY_DIR}/fwnative-${PROJECT_VERSION}.zip")
add_custom_target(release
  COMMAND ${CMAKE_COMMAND}
          "-DVERSION=${PROJECT_VERSION}"
          "-DSOURCE_DIR=${PROJECT_SOURCE_DIR}"
          "-DOUT=${CMAKE_BINARY_DIR}/release"
          "-DARCHIVE=${FW_RELEASE_ARCHIVE}"
          "-DJAR_TOOL=${FW_JAR}"
          "-DJAVADOC=${FW_JAVADOC}"
          "-DCLASSES_JAR=$<TARGET_PROPERTY:fwnative_java,JAR_FILE>"
          "-DX64_DLL=$<TARGET_FILE:fwnative>"
          "-DX64_CLEANUP=$<TARGET_FILE:fwcleanup>"
          "-DX86_DLL=${FW_X86_BUILD_DIR}/src/fwnative.dll"
          "-DX86_CLEANUP=${FW_X86_BUILD_DIR}/tools/fwcleanup/fwcleanup.exe"
          -P "${PROJECT_SOURCE_DIR}/cmake/release_contents.cmake"
  DEPENDS fwnative fwcleanup fwnative_java
  COMMENT "Making fwnative-${PROJECT_VERSION}.zip"
  VERBATIM)

# The archive as it ships: made (after both trees are built), unpacked and run.
if(FW_BUILD_TESTS)
  add_test(NAME release_archive_make COMMAND ${CMAKE_COMMAND} --build "${CMAKE_BINARY_DIR}" --target release)
  set_tests_properties(release_archive_make PROPERTIES FIXTURES_SETUP fw_release_archive)
  add_test(NAME release_archive
           COMMAND "${PROJECT_SOURCE_DIR}/scripts/release-test.sh" "${FW_RELEASE_ARCHIVE}" "${CMAKE_BINARY_DIR}/avian"
                   "${FW_X86_BUILD_DIR}/avian" "${CMAKE_BINARY_DIR}/release-test")
  set_tests_properties(release_archive PROPERTIES FIXTURES_REQUIRED fw_release_archive TIMEOUT 900)
endif()
