# A VERSIONINFO resource for a Windows deliverable, compiled by the toolchain's windres, so that
# Explorer's Properties and installers' version checks see the kit's version.
enable_language(RC)

# Adds to TARGET a version resource with the project version, the kit's product name, the
# DESCRIPTION and ORIGINAL_NAME, the file name the target is built under.
function(vexa_add_version_resource target description original_name)
  set(VEXA_RC_VERSION_NUMBERS)
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(number ${PROJECT_VERSION_${part}})
    if(number STREQUAL "")
      set(number 0)
    endif()
    list(APPEND VEXA_RC_VERSION_NUMBERS ${number})
  endforeach()
  list(JOIN VEXA_RC_VERSION_NUMBERS "," VEXA_RC_VERSION_NUMBERS)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(VEXA_RC_FILE_TYPE VFT_APP)
  else()
    set(VEXA_RC_FILE_TYPE VFT_DLL)
  endif()
  set(VEXA_RC_PRODUCT "VEXA Kit")
  set(VEXA_RC_DESCRIPTION ${description})
  set(VEXA_RC_ORIGINAL_NAME ${original_name})
  set(resource ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.rc.in ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
  # For the test that reads the resource back.
  set_target_properties(${target} PROPERTIES
      VEXA_VERSION_PRODUCT "${VEXA_RC_PRODUCT}"
      VEXA_VERSION_DESCRIPTION "${description}")
endfunction()
