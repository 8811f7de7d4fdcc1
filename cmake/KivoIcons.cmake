# The hicolor theme's PNG icons, drawn at build time from the one SVG: compiled into a target
# as Qt resources under :/hicolor (the window's icon) and installed beside the SVG.
find_program(KIVO_RSVG_CONVERT rsvg-convert REQUIRED)

function(kivo_add_icons target)
  set(svg ${PROJECT_SOURCE_DIR}/data/kivo.svg)
  set(root ${CMAKE_CURRENT_BINARY_DIR}/icons)
  set(pngs "")
  foreach(size 16 24 32 48 64 128 256)
    set(png ${root}/hicolor/${size}x${size}/apps/kivo.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${KIVO_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${svg}
      DEPENDS ${svg}
      VERBATIM)
    list(APPEND pngs ${png})
    file(MAKE_DIRECTORY ${root}/hicolor/${size}x${size}/apps)
  endforeach()
  # The first format has no file times, so the program does not change with the time the icons
  # were drawn.
  qt_add_resources(${target} kivo_icons PREFIX / BASE ${root} FILES ${pngs} OPTIONS --format-version 1)
  install(DIRECTORY ${root}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons COMPONENT kivo)
  install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT kivo)
endfunction()
