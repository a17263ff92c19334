# Resources every shipped program and library carries, added to a target from anywhere.

# sky_common_controls_manifest(TARGET): the manifest that selects version 6 of the common
# controls (resource 1 of a program; resource 2 of a library, for its isolation-aware code).
function(sky_common_controls_manifest target)
  set(NAME ${target})
  set(dir ${CMAKE_BINARY_DIR}/resources/${target})
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/common_controls.manifest.in ${dir}/${target}.manifest @ONLY)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(id 2)
  else()
    set(id 1)
  endif()
  # 24 is RT_MANIFEST.
  file(CONFIGURE OUTPUT ${dir}/manifest.rc CONTENT "${id} 24 \"${dir}/${target}.manifest\"\n")
  target_sources(${target} PRIVATE ${dir}/manifest.rc)
  set_source_files_properties(${dir}/manifest.rc PROPERTIES OBJECT_DEPENDS ${dir}/${target}.manifest)
endfunction()

# sky_version_resource(TARGET DESCRIPTION): a version resource for a target whose .rc has none.
function(sky_version_resource target description)
  set(NAME ${target})
  set(DESCRIPTION ${description})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(FILE_NAME ${target}.dll)
    set(FILE_TYPE VFT_DLL)
  else()
    set(FILE_NAME ${target}.exe)
    set(FILE_TYPE VFT_APP)
  endif()
  set(rc ${CMAKE_BINARY_DIR}/resources/${target}/version.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
