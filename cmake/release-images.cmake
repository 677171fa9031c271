# The shipped images built so that the same source gives the same bytes, wherever and whenever it
# is built, and anyone can check a release by building it again.

# TARGET (Install or VEXA) as a release ships it. No build carries the time of its link. A release
# build (VEXA_RELEASE_IMAGES) also keeps the build folders out of the image, and moves a shared
# library's debug information into a file beside it, IMAGE.debug, which the stripped image names
# (.gnu_debuglink) so that a debugger finds it there; install component Debug.
function(vexa_release_image target)
  if(WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GNU ld writes the clock into the PE header and the export directory unless told not to.
    target_link_options(${target} PRIVATE LINKER:--no-insert-timestamp)
  endif()
  if(NOT VEXA_RELEASE_IMAGES)
    return()
  endif()
  # Both folders read as ".", in the debug information and in __FILE__: a debugger started in the
  # source folder finds the sources.
  target_compile_options(${target} PRIVATE
      -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "SHARED_LIBRARY")
    return()
  endif()
  if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "VEXA_RELEASE_IMAGES needs objcopy for the target, which was not found")
  endif()
  # GCC generates the same code with -g as without.
  target_compile_options(${target} PRIVATE -g)
  set(image $<TARGET_FILE:${target}>)
  # objcopy, too, writes the clock into a PE header it rewrites, unless SOURCE_DATE_EPOCH gives a
  # time: none, as the linker was told. The debug file's checksum goes into the image.
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
  add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${objcopy} --only-keep-debug ${image} ${image}.debug
      COMMAND ${objcopy} --strip-all --add-gnu-debuglink=${image}.debug ${image}
      VERBATIM)
endfunction()
