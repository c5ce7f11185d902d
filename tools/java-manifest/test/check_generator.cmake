# Checks the class manifest generator on a fixture class compiled here: the lines it writes for
# every javap shape the fixture holds, and the inputs it must refuse.
#
#   cmake -DJAVAC=<javac> -DJAVAP=<javap> -DJAR_TOOL=<jar> -DAWK=<awk> -DWORK_DIR=<scratch dir>
#         -P check_generator.cmake

cmake_minimum_required(VERSION 3.25)

foreach(var JAVAC JAVAP JAR_TOOL AWK WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_generator: ${var} is not set")
  endif()
endforeach()
set(test_dir "${CMAKE_CURRENT_LIST_DIR}")
get_filename_component(tool_dir "${test_dir}" DIRECTORY)
set(failures "")

function(run_or_die)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "check_generator: `${ARGN}` failed: ${errors}")
  endif()
endfunction()

# Runs the generator on the fixture jar with the given JDK classes; sets <result_var>.
function(generate jdk_classes output result_var)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" "-DJAVAP=${JAVAP}" "-DJAR_TOOL=${JAR_TOOL}" "-DAWK=${AWK}"
      "-DJAR=${WORK_DIR}/fixture.jar" "-DJDK_CLASSES=${jdk_classes}" "-DOUTPUT=${output}"
      -P "${tool_dir}/make_java_manifest.cmake"
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  set(${result_var} "${result}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/classes")
run_or_die("${JAVAC}" -d "${WORK_DIR}/classes" "${test_dir}/fixture/ManifestFixture.java")
run_or_die("${JAR_TOOL}" cf "${WORK_DIR}/fixture.jar" -C "${WORK_DIR}/classes" .)

# Every class of the jar, nested ones included, with the JDK superclasses that close the chain.
set(closed_jdk "java.lang.Object,java.util.AbstractList,java.util.AbstractCollection")
generate("${closed_jdk}" "${WORK_DIR}/manifest.txt" result)
if(NOT result EQUAL 0)
  list(APPEND failures "the generator failed on the fixture")
else()
  execute_process(
    COMMAND "${AWK}" "$2 ~ /^fixture\\//" "${WORK_DIR}/manifest.txt"
    OUTPUT_FILE "${WORK_DIR}/fixture_lines.txt")
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK_DIR}/fixture_lines.txt"
      "${test_dir}/expected_fixture_manifest.txt"
    RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND failures "fixture lines differ from expected_fixture_manifest.txt (see ${WORK_DIR}/fixture_lines.txt)")
  endif()
  file(READ "${WORK_DIR}/manifest.txt" manifest)
  foreach(expected
      "class java/util/AbstractList super java/util/AbstractCollection abstract\n"
      "class java/lang/Object super -\n"
      "method java/util/AbstractList <init> ()V protected\n")
    string(FIND "${manifest}" "${expected}" at)
    if(at EQUAL -1)
      list(APPEND failures "manifest lacks the JDK line: ${expected}")
    endif()
  endforeach()
  if(NOT manifest MATCHES "^# ")
    list(APPEND failures "manifest does not start with its comment header")
  endif()
endif()

# A superclass outside the manifest, and a class javap does not know, are refused without output.
foreach(case "java.lang.Object" "${closed_jdk},no.such.Missing")
  file(REMOVE "${WORK_DIR}/refused.txt")
  generate("${case}" "${WORK_DIR}/refused.txt" result)
  if(result EQUAL 0 OR EXISTS "${WORK_DIR}/refused.txt")
    list(APPEND failures "the generator accepted the JDK classes ${case}")
  endif()
endforeach()

# javap output the converter cannot account for is refused, not half-converted.
set(header "public class a.B {\n")
set(member "  public int x;\n    descriptor: I\n")
foreach(case
    "${header}${member}"
    "${header}  public int x;\n}\n"
    "${header}    descriptor: I\n}\n"
    "${header}${member}  public int y;\n  public int z;\n    descriptor: I\n}\n"
    "public class a.B<T {\n}\n"
    "${header}  public static final char C = '\\q';\n    descriptor: C\n}\n"
    "${header}${member}}\n}\n")
  file(WRITE "${WORK_DIR}/bad.javap" "${case}")
  execute_process(
    COMMAND "${AWK}" -f "${tool_dir}/javap_to_manifest.awk" "${WORK_DIR}/bad.javap"
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(result EQUAL 0)
    list(APPEND failures "the converter accepted: ${case}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "check_generator:\n  ${text}")
endif()
