# Writes the class manifest of the test VM: every class in a jar plus the given JDK classes, as
# `javap -s -p -constants` describes them, in the line format of javap_to_manifest.awk.
#
#   cmake -DJAVAP=<javap> -DJAR_TOOL=<jar> -DAWK=<awk> -DJAR=<our jar>
#         -DJDK_CLASSES=<binary names, comma-separated> -DOUTPUT=<manifest> -P make_java_manifest.cmake
#
# Fails when javap does not know a class, or when a superclass named in the manifest is not itself
# in it (the test VM walks superclass chains to their root).

cmake_minimum_required(VERSION 3.25)

foreach(var JAVAP JAR_TOOL AWK JAR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_java_manifest: ${var} is not set")
  endif()
endforeach()

execute_process(
  COMMAND "${JAR_TOOL}" tf "${JAR}"
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_java_manifest: cannot list ${JAR}")
endif()
string(REGEX MATCHALL "[^\n]+\\.class" entries "${listing}")
set(classes "")
foreach(entry IN LISTS entries)
  if(entry MATCHES "(^|/)(module|package)-info\\.class$")
    continue()
  endif()
  string(REGEX REPLACE "\\.class$" "" name "${entry}")
  string(REPLACE "/" "." name "${name}")
  list(APPEND classes "${name}")
endforeach()
list(SORT classes)
string(REPLACE "," ";" jdk_classes "${JDK_CLASSES}")
list(APPEND classes ${jdk_classes})
list(REMOVE_DUPLICATES classes)

get_filename_component(script_dir "${CMAKE_CURRENT_LIST_FILE}" DIRECTORY)
set(partial "${OUTPUT}.partial")
execute_process(
  COMMAND "${JAVAP}" -s -p -constants -cp "${JAR}" ${classes}
  COMMAND "${AWK}" -f "${script_dir}/javap_to_manifest.awk"
  OUTPUT_FILE "${partial}"
  RESULTS_VARIABLE results)
foreach(result IN LISTS results)
  if(NOT result EQUAL 0)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "make_java_manifest: javap or its conversion failed (${results})")
  endif()
endforeach()

file(STRINGS "${partial}" class_lines REGEX "^class ")
set(known "")
set(supers "")
foreach(line IN LISTS class_lines)
  string(REGEX REPLACE "^class ([^ ]+) super ([^ ]+).*$" "\\1" name "${line}")
  string(REGEX REPLACE "^class ([^ ]+) super ([^ ]+).*$" "\\2" super "${line}")
  list(APPEND known "${name}")
  if(NOT super STREQUAL "-")
    list(APPEND supers "${super}")
  endif()
endforeach()
foreach(super IN LISTS supers)
  if(NOT super IN_LIST known)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "make_java_manifest: superclass ${super} is not in the manifest; add it to the JDK classes")
  endif()
endforeach()

list(LENGTH known class_count)
file(READ "${partial}" body)
file(REMOVE "${partial}")
file(WRITE "${OUTPUT}"
  "# Classes the test VM knows, generated from javap at build time; do not edit.\n"
  "# ${class_count} classes. Lines: class, implements, method, field (see javap_to_manifest.awk).\n"
  "${body}")
