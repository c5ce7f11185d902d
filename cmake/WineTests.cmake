# Runs GoogleTest programs under Wine with CTest.
#
#   fw_add_wine_suite(TARGET fwnative_tests VERSIONS winxp win98 [RUNTIME_TARGETS fwnative ...] [TIMEOUT s])
#
# For each Windows version, the program and the DLLs it loads are copied to
# <build>/<dir>/wine-run/<version>/<TARGET>-<version>.exe, and one test <TARGET>-<version> runs that
# copy with the build's Wine loader. The copy's name selects the version: the prefix gets an
# AppDefaults entry for it ("default" gets none and reports the prefix's own version).
#
# The versions' runs go in two lanes, each with its own prefix, so that `ctest -j2` runs two at once
# (the 32-bit runs spend their time in qemu on one core). A lane's fixture (fw_wine_prefix,
# fw_wine_prefix_2): its setup test (wine_prefix_setup, wine_prefix_setup_2) copies a pristine
# template prefix (made once, shared by the build trees) to <build>/wine-prefix or
# <build>/wine-prefix-2, starts a persistent wineserver, imports the registry settings and runs a
# first program; its cleanup test (wine_prefix_stop, wine_prefix_stop_2) ends the helpers and the
# server. The tests of a lane share its prefix and run one at a time (RESOURCE_LOCK on the
# fixture's name). Another test can join the first lane with FIXTURES_REQUIRED fw_wine_prefix,
# RESOURCE_LOCK fw_wine_prefix and scripts/wine-run.sh --prefix ${FW_WINE_RUN_PREFIX}.

set(FW_WINE_TEMPLATE_DIR "${CMAKE_SOURCE_DIR}/build/wine-template" CACHE PATH
    "Pristine Wine prefix that every test run copies; made on first use")
set(FW_WINE_RUN_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
set(FW_WINE_PREFIX_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-prefix.sh")
set(FW_WINE_RUN_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
set(FW_WINE_RUN_PREFIX_2 "${CMAKE_BINARY_DIR}/wine-prefix-2")
set(FW_WINE_REG_DIR "${CMAKE_BINARY_DIR}/wine-reg")
if(NOT FW_WINE_LOADER)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(FW_WINE_LOADER /usr/lib/wine/wine)
  else()
    set(FW_WINE_LOADER /usr/lib/wine/wine64)
  endif()
endif()

# The prefix fixture, once per build tree. Setup copies the template (or first makes it: minutes).
function(_fw_add_wine_prefix_fixture)
  get_property(done GLOBAL PROPERTY FW_WINE_PREFIX_FIXTURE)
  if(done)
    return()
  endif()
  set_property(GLOBAL PROPERTY FW_WINE_PREFIX_FIXTURE TRUE)
  file(REMOVE_RECURSE "${FW_WINE_REG_DIR}")
  file(MAKE_DIRECTORY "${FW_WINE_REG_DIR}")
  # Windows need a display driver: the null one needs no X. A crashing program must not wait for
  # someone to close winedbg's dialog: the backtrace goes to the output and the program ends.
  file(WRITE "${FW_WINE_REG_DIR}/00-wine.reg"
       "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\n\"Graphics\"=\"null\"\n"
       "\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n\"ShowCrashDialog\"=dword:00000000\n")
  foreach(lane "" "_2")
    set(prefix "${FW_WINE_RUN_PREFIX${lane}}")
    add_test(NAME wine_prefix_setup${lane}
             COMMAND "${FW_WINE_PREFIX_SCRIPT}" setup --template "${FW_WINE_TEMPLATE_DIR}"
                     --prefix "${prefix}" --reg-dir "${FW_WINE_REG_DIR}"
                     --drive a:floppy --drive d:cdrom --drive n:network)
    set_tests_properties(wine_prefix_setup${lane} PROPERTIES FIXTURES_SETUP fw_wine_prefix${lane} TIMEOUT 1800)
    add_test(NAME wine_prefix_stop${lane} COMMAND "${FW_WINE_PREFIX_SCRIPT}" stop --prefix "${prefix}")
    set_tests_properties(wine_prefix_stop${lane} PROPERTIES FIXTURES_CLEANUP fw_wine_prefix${lane} TIMEOUT 120)
  endforeach()
endfunction()

function(fw_add_wine_suite)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "TARGET;TIMEOUT" "VERSIONS;RUNTIME_TARGETS")
  if(NOT arg_TARGET OR NOT arg_VERSIONS)
    message(FATAL_ERROR "fw_add_wine_suite needs TARGET and VERSIONS")
  endif()
  if(NOT arg_TIMEOUT)
    # The 32-bit build runs through qemu-user, about three times slower than the 64-bit one.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(arg_TIMEOUT 1200)
    else()
      set(arg_TIMEOUT 600)
    endif()
  endif()
  _fw_add_wine_prefix_fixture()

  set(reg "REGEDIT4\n")
  set(copies "")
  set(lane "")
  foreach(version IN LISTS arg_VERSIONS)
    set(name "${arg_TARGET}-${version}")
    set(dir "${CMAKE_CURRENT_BINARY_DIR}/wine-run/${version}")
    if(NOT version STREQUAL "default")
      string(APPEND reg "\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\${name}.exe]\n\"Version\"=\"${version}\"\n")
    endif()

    set(copy_commands COMMAND ${CMAKE_COMMAND} -E make_directory "${dir}"
                      COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:${arg_TARGET}>" "${dir}/${name}.exe")
    foreach(runtime IN LISTS arg_RUNTIME_TARGETS)
      list(APPEND copy_commands
           COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:${runtime}>" "${dir}/$<TARGET_FILE_NAME:${runtime}>")
    endforeach()
    add_custom_command(OUTPUT "${dir}/${name}.exe" ${copy_commands}
                       DEPENDS ${arg_TARGET} ${arg_RUNTIME_TARGETS}
                       COMMENT "Placing ${name}.exe and its DLLs for the Wine run"
                       VERBATIM)
    list(APPEND copies "${dir}/${name}.exe")

    add_test(NAME "${name}"
             COMMAND "${FW_WINE_RUN_SCRIPT}" --prefix "${FW_WINE_RUN_PREFIX${lane}}" --loader "${FW_WINE_LOADER}"
                     "${dir}/${name}.exe" "--gtest_output=xml:${name}.xml"
             WORKING_DIRECTORY "${dir}")
    set_tests_properties("${name}" PROPERTIES
      FIXTURES_REQUIRED fw_wine_prefix${lane}
      RESOURCE_LOCK fw_wine_prefix${lane}
      TIMEOUT ${arg_TIMEOUT})
    # The versions alternate between the lanes; the tests that join the first lane even it out.
    if(lane STREQUAL "")
      set(lane "_2")
    else()
      set(lane "")
    endif()
  endforeach()
  file(WRITE "${FW_WINE_REG_DIR}/${arg_TARGET}.reg" "${reg}")
  add_custom_target(${arg_TARGET}_wine_run ALL DEPENDS ${copies})
endfunction()
