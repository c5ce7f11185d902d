# fw_version_resource(TARGET DESCRIPTION): gives a shipped program the project's version resource
# (cmake/version.rc.in), under the file name it is built with. windres is run directly, since the
# project's compile options are not windres options.
function(fw_version_resource target description)
  get_target_property(type ${target} TYPE)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  if(type STREQUAL "SHARED_LIBRARY")
    set(FW_RC_FILE_TYPE VFT_DLL)
    set(FW_RC_FILE_NAME ${name}.dll)
  else()
    set(FW_RC_FILE_TYPE VFT_APP)
    set(FW_RC_FILE_NAME ${name}.exe)
  endif()
  set(FW_RC_DESCRIPTION "${description}")
  set(FW_RC_INTERNAL_NAME ${name})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.o)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  add_custom_command(OUTPUT ${res}
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${rc} -o ${res}
    DEPENDS ${rc} ${PROJECT_SOURCE_DIR}/cmake/version.rc.in
    VERBATIM)
  set_source_files_properties(${res} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE ${res})
endfunction()
