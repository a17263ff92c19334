# sky_resource_image(TARGET RC file.rc FILE name.ext DIR folder)
# Builds a PE image without code that holds only the resources of `file.rc`, written to
# DIR/name.ext: a file whose resources are read by others, never run.
function(sky_resource_image target)
  cmake_parse_arguments(R "" "RC;FILE;DIR" "" ${ARGN})
  get_filename_component(name ${R_FILE} NAME_WE)
  get_filename_component(suffix ${R_FILE} EXT)
  add_library(${target} SHARED ${R_RC})
  target_link_options(${target} PRIVATE -nostdlib -Wl,-e,0)  # no runtime, no entry point
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE C PREFIX "" OUTPUT_NAME ${name}
                        SUFFIX ${suffix} RUNTIME_OUTPUT_DIRECTORY ${R_DIR})
endfunction()

# sky_driver_file(TARGET FILE name.sys VERSION a.b.c.d DIR folder)
# A stand-in driver file: only the version resource of installer/package/driver_version.rc.
function(sky_driver_file target)
  cmake_parse_arguments(D "" "FILE;VERSION;DIR" "" ${ARGN})
  sky_resource_image(${target} RC ${PROJECT_SOURCE_DIR}/installer/package/driver_version.rc
                     FILE ${D_FILE} DIR ${D_DIR})
  string(REPLACE "." "," numbers ${D_VERSION})
  target_compile_definitions(${target} PRIVATE DRIVER_VERSION=${numbers} DRIVER_VERSION_TEXT=${D_VERSION})
endfunction()
