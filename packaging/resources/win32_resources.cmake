# Resources every shipped program and library carries, added to a target from anywhere.

# The maker and product every version resource names; the setup script names the same.
set(SKY_COMPANY "Halvex")
set(SKY_PRODUCT "Telvara WLAN Adapter Monitor")

# sky_program_manifest(TARGET LEVEL): a program's manifest (resource 1): version 6 of the
# common controls, the execution level Windows Vista and later start it with (asInvoker or
# requireAdministrator) and the systems it was written for, so that they do not treat it as
# an old program.
function(sky_program_manifest target level)
  set(NAME ${target})
  set(LEVEL ${level})
  set(dir ${CMAKE_BINARY_DIR}/resources/${target})
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/program.manifest.in ${dir}/${target}.manifest @ONLY)
  # 24 is RT_MANIFEST.
  file(CONFIGURE OUTPUT ${dir}/manifest.rc CONTENT "1 24 \"${dir}/${target}.manifest\"\n")
  target_sources(${target} PRIVATE ${dir}/manifest.rc)
  # The target may live in another folder: its folder is where the property must be seen.
  set_source_files_properties(${dir}/manifest.rc TARGET_DIRECTORY ${target}
                              PROPERTIES OBJECT_DEPENDS ${dir}/${target}.manifest)
endfunction()

# sky_version_resource(TARGET DESCRIPTION [INTERNAL_NAME n] [ORIGINAL_FILENAME f] [PRODUCT_NAME p]):
# the version resource, with the project's version. The names default to the target's
# name, its file name and the product.
function(sky_version_resource target description)
  cmake_parse_arguments(V "" "INTERNAL_NAME;ORIGINAL_FILENAME;PRODUCT_NAME" "" ${ARGN})
  set(DESCRIPTION ${description})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(ORIGINAL_FILENAME ${target}.dll)
    set(FILE_TYPE VFT_DLL)
  else()
    set(ORIGINAL_FILENAME ${target}.exe)
    set(FILE_TYPE VFT_APP)
  endif()
  set(INTERNAL_NAME ${target})
  set(PRODUCT_NAME ${SKY_PRODUCT})
  foreach(field INTERNAL_NAME ORIGINAL_FILENAME PRODUCT_NAME)
    if(V_${field})
      set(${field} ${V_${field}})
    endif()
  endforeach()
  set(FILE_NAME ${ORIGINAL_FILENAME})
  set(v ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH} ${PROJECT_VERSION_TWEAK})
  list(JOIN v "," VERSION_NUMBERS)
  list(JOIN v ", " VERSION_TEXT)
  set(rc ${CMAKE_BINARY_DIR}/resources/${target}/version.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
