# Gives a target an include root in the build tree that holds only the headers of its own
# folder, src/<folder>. A target then sees its own headers and those of the targets it links,
# so a slip across the layers (the engine including a window or X11 header) fails to compile.
function(kivo_export_headers target folder)
  set(root "${PROJECT_BINARY_DIR}/include/${target}")
  file(GLOB headers CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${folder}/*.h")
  file(REMOVE_RECURSE "${root}")
  file(MAKE_DIRECTORY "${root}/${folder}")
  foreach(header IN LISTS headers)
    get_filename_component(name "${header}" NAME)
    file(CREATE_LINK "${header}" "${root}/${folder}/${name}" SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
