# zantor_version_resource(<target> <file name> <description>): gives a Windows
# module or program a VERSIONINFO resource with the project's version, the
# copyright line of LICENSE (ZANTOR_COPYRIGHT) and its own file name and
# description.

function(zantor_version_resource target file_name description)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(ZANTOR_FILE_TYPE VFT_APP)
  else()
    set(ZANTOR_FILE_TYPE VFT_DLL)
  endif()
  set(ZANTOR_FILE_NAME "${file_name}")
  set(ZANTOR_FILE_DESCRIPTION "${description}")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${file_name}.version.rc")
  configure_file("${CMAKE_SOURCE_DIR}/cmake/version.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
endfunction()
