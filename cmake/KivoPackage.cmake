# What `cmake --install` puts beside the program on Linux, and the Debian package built from it:
# `cpack --preset linux` after a build of the linux preset gives kivo_<version>_amd64.deb. Its
# dependencies are the shared libraries the program links, as dpkg-shlibdeps finds them.
include(GNUInstallDirs)
include(KivoDocs)
include(KivoSourceDate)

set(KIVO_CONTACT "The Kivo developers <kivo-project@users.noreply.github.com>")
set(generated ${PROJECT_BINARY_DIR}/package)
set(doc ${CMAKE_INSTALL_DATADIR}/doc/kivo)

configure_file(data/metainfo.xml.in ${generated}/${KIVO_APP_ID}.metainfo.xml @ONLY)
kivo_debian_copyright(${PROJECT_SOURCE_DIR}/LICENSE ${generated}/copyright)
kivo_debian_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${generated}/changelog.gz)
kivo_man_page(kivo ${PROJECT_SOURCE_DIR}/data/kivo.h2m ${generated}/kivo.1.gz)

# Every file but the program and its icons; a new data file needs one line here.
install(FILES ${PROJECT_SOURCE_DIR}/data/${KIVO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT kivo)
install(FILES ${generated}/${KIVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT kivo)
install(FILES ${generated}/kivo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT kivo)
install(FILES ${generated}/copyright ${generated}/changelog.gz DESTINATION ${doc} COMPONENT kivo)
# Under lib/ whatever the library folder: udev reads /usr/lib/udev/rules.d. Under another
# prefix udev does not look; the README says where to copy it by hand.
install(FILES ${PROJECT_SOURCE_DIR}/data/70-kivo-uinput.rules DESTINATION lib/udev/rules.d COMPONENT kivo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KIVO_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The extended description; cpack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kivo lets a game that is played with the keyboard be played with a joystick.
While it runs, pushing the stick types the arrow keys into the window that has
the input focus, and holding a joystick button types the key assigned to it.
.
Keys are assigned in Kivo's small window: press a joystick button, then the
key. The assignments are kept in ~/.config/kivo/kivo.ini. In an X11 session
keys reach the window in front. In a Wayland session they reach every window,
native Wayland ones included, through a virtual keyboard; the package's udev
rule lets the user at the seat make one.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Qt finds its X11 and Wayland platform plugins at run time, so no linked library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
# The udev rule that lets the user at the seat type through /dev/uinput takes effect at once, and
# its removal too: one script serves after both.
foreach(script postinst postrm)
  configure_file(${PROJECT_SOURCE_DIR}/data/deb/udev-reload ${generated}/deb/${script} COPYONLY)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${generated}/deb/postinst ${generated}/deb/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Only the program goes in the package, not the test and measuring tools.
set(CPACK_COMPONENTS_ALL kivo)
set(CPACK_DEB_COMPONENT_INSTALL OFF)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};kivo;/")
include(CPack)
