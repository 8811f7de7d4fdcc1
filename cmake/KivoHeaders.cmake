# Gives a target an include root in the build tree that holds only the headers of its own
# folder, src/<folder>, and of the subfolders named after it. A target then sees its own headers
# and those of the targets it links, so a slip across the layers (the engine including a window
# or X11 header) fails to compile.
function(kivo_export_headers target folder)
  set(root "${PROJECT_BINARY_DIR}/include/${target}")
  file(REMOVE_RECURSE "${root}")
  foreach(subfolder IN ITEMS "." ${ARGN})
    file(GLOB headers CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${folder}/${subfolder}/*.h")
    file(MAKE_DIRECTORY "${root}/${folder}/${subfolder}")
    foreach(header IN LISTS headers)
      get_filename_component(name "${header}" NAME)
      file(CREATE_LINK "${header}" "${root}/${folder}/${subfolder}/${name}" SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} PUBLIC "${root}")
endfunction()
