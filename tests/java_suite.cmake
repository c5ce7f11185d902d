# The Java suite (java/suite) on a real Java VM: Avian, built once per build tree, loads the shipped
# fwnative.dll with System.loadLibrary and calls every exported native method through the Java
# classes, once per emulated Windows version (scripts/java-suite.sh). Without an Avian source the
# build goes on and each run fails, saying what is missing: a run that did not happen is no pass.
set(FW_AVIAN_DIR "${CMAKE_BINARY_DIR}/avian")
set(fw_java_suite "${CMAKE_SOURCE_DIR}/scripts/java-suite.sh")
set(fw_java_suite_dir "${CMAKE_BINARY_DIR}/java-suite")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(fw_avian_arch i686)
else()
  set(fw_avian_arch x86_64)
endif()

# Both steps are quick once done: Avian is reused, and javac sees a few dozen classes.
add_custom_target(fw_avian ALL
  COMMAND "${fw_java_suite}" avian --arch ${fw_avian_arch} --out "${FW_AVIAN_DIR}"
  COMMENT "Avian for ${fw_avian_arch} (built once, then reused)"
  VERBATIM)
add_custom_target(fw_java_suite_classes ALL
  COMMAND "${fw_java_suite}" compile --avian "${FW_AVIAN_DIR}" --out "${fw_java_suite_dir}/classes"
          "${CMAKE_SOURCE_DIR}/java/src" "${CMAKE_SOURCE_DIR}/java/suite"
  COMMENT "Compiling the Java suite against Avian's class library"
  VERBATIM)
add_dependencies(fw_java_suite_classes fw_avian)

# The methods the DLL exports: the suite fails when it calls one of them nowhere.
find_program(FW_SUITE_OBJDUMP NAMES ${FW_MINGW_TRIPLE}-objdump REQUIRED)
# Its folder is made here too: the class compilation that also makes it may not have run yet.
add_custom_command(OUTPUT "${fw_java_suite_dir}/exports.txt"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${fw_java_suite_dir}"
  COMMAND sh -c "\"$1\" -p \"$2\" | grep -o 'Java_[A-Za-z0-9_]*' | sort -u > \"$3\"" sh
          "${FW_SUITE_OBJDUMP}" "$<TARGET_FILE:fwnative>" "${fw_java_suite_dir}/exports.txt"
  DEPENDS fwnative
  COMMENT "Listing the DLL's exports for the Java suite"
  VERBATIM)
add_custom_target(fw_java_suite_exports ALL DEPENDS "${fw_java_suite_dir}/exports.txt")

set(reg "REGEDIT4\n")
foreach(version IN LISTS fw_wine_versions)
  if(NOT version STREQUAL "default")
    string(APPEND reg "\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\java-suite-${version}.exe]\n\"Version\"=\"${version}\"\n")
  endif()
  add_test(NAME "java_suite-${version}"
           COMMAND "${fw_java_suite}" run --avian "${FW_AVIAN_DIR}" --classes "${fw_java_suite_dir}/classes"
                   --dll "$<TARGET_FILE:fwnative>" --exports "${fw_java_suite_dir}/exports.txt"
                   --version ${version} --prefix "${FW_WINE_RUN_PREFIX}" --loader "${FW_WINE_LOADER}"
                   --dir "${fw_java_suite_dir}/run/${version}" --beside "$<TARGET_FILE:fwtest_service>")
  set_tests_properties("java_suite-${version}" PROPERTIES
    FIXTURES_REQUIRED fw_wine_prefix
    RESOURCE_LOCK fw_wine_prefix
    TIMEOUT 900)
endforeach()
file(WRITE "${FW_WINE_REG_DIR}/java_suite.reg" "${reg}")
