# Run by the target `release` (cmake/Release.cmake): fills OUT/fwnative-VERSION with what an
# installer author takes away and packs it as ARCHIVE:
#   fwnative.jar, fwnative-sources.jar, fwnative-javadoc.jar   the Java side, its sources, its reference
#   x86/ and x64/: fwnative.dll and fwcleanup.exe               the programs of both architectures
#   README.md, LICENSE, SHA256SUMS                              SHA256SUMS: every other file's digest
# Every entry, in the jars and in the archive, is dated at the last commit's time (1980-01-01
# outside a git checkout), and the archive lists its entries in name order: two builds of one
# commit give the same bytes.
cmake_minimum_required(VERSION 3.25)
foreach(file IN ITEMS "${X86_DLL}" "${X86_CLEANUP}" "${X64_DLL}" "${X64_CLEANUP}" "${CLASSES_JAR}")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} is missing: build the i686 and x86_64 presets first (scripts/release.sh)")
  endif()
endforeach()

execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE git_status ERROR_QUIET)
if(NOT git_status EQUAL 0 OR epoch STREQUAL "")
  set(epoch 315532800)
endif()
set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
string(TIMESTAMP date "%Y-%m-%dT%H:%M:%SZ" UTC)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${status}): ${command}")
  endif()
endfunction()

set(name fwnative-${VERSION})
set(stage "${OUT}/${name}")
set(work "${OUT}/work")
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${stage}/x86" "${stage}/x64" "${work}/classes" "${work}/api" "${work}/sources/META-INF")

# The jar add_jar made, its entries dated.
run(${CMAKE_COMMAND} -E chdir "${work}/classes" "${JAR_TOOL}" --extract --file "${CLASSES_JAR}")
run("${JAR_TOOL}" --create --date=${date} --file "${stage}/fwnative.jar"
    --manifest "${work}/classes/META-INF/MANIFEST.MF" -C "${work}/classes" com -C "${work}/classes" META-INF/LICENSE)
file(COPY "${SOURCE_DIR}/LICENSE" DESTINATION "${work}/sources/META-INF")
run("${JAR_TOOL}" --create --date=${date} --file "${stage}/fwnative-sources.jar"
    -C "${SOURCE_DIR}/java/src" com -C "${work}/sources" META-INF)
run("${JAVADOC}" -quiet -notimestamp -encoding UTF-8 -docencoding UTF-8 -d "${work}/api"
    -sourcepath "${SOURCE_DIR}/java/src" -subpackages com.fernwick -doctitle "fwnative ${VERSION}"
    -windowtitle "fwnative ${VERSION}")
run("${JAR_TOOL}" --create --date=${date} --file "${stage}/fwnative-javadoc.jar" -C "${work}/api" .)

file(COPY_FILE "${X86_DLL}" "${stage}/x86/fwnative.dll")
file(COPY_FILE "${X86_CLEANUP}" "${stage}/x86/fwcleanup.exe")
file(COPY_FILE "${X64_DLL}" "${stage}/x64/fwnative.dll")
file(COPY_FILE "${X64_CLEANUP}" "${stage}/x64/fwcleanup.exe")
file(COPY_FILE "${SOURCE_DIR}/README.md" "${stage}/README.md")
file(COPY_FILE "${SOURCE_DIR}/LICENSE" "${stage}/LICENSE")

file(GLOB_RECURSE files RELATIVE "${stage}" "${stage}/*")
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
  file(SHA256 "${stage}/${file}" digest)
  string(APPEND sums "${digest}  ${file}\n")
endforeach()
file(WRITE "${stage}/SHA256SUMS" "${sums}")

# The archive is a plain zip made by the jar tool, which dates every entry as told (a zip of
# `cmake -E tar` would keep each file's access and change times).
set(entries "")
foreach(file IN LISTS files ITEMS SHA256SUMS)
  list(APPEND entries "${name}/${file}")
endforeach()
list(SORT entries)
list(TRANSFORM entries PREPEND "-C;${OUT};")
file(REMOVE "${ARCHIVE}")
run("${JAR_TOOL}" --create --no-manifest --date=${date} --file "${ARCHIVE}" ${entries})
message(STATUS "${ARCHIVE}: ${VERSION}, entries dated ${date}")
