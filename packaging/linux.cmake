# Installing the Linux program as Linux programs are, and its Debian
# package (`cpack -G DEB`, or `cpack --preset linux-package`). Included by
# the top-level CMakeLists.txt in the Qt build.
include(GNUInstallDirs)

# The files the program reads at run time (ProgramFile): beside the
# executable in a build, under share/pinaleaf once installed. The program
# finds them from its own folder by this relative path.
set(PINALEAF_DATA_DIR ${CMAKE_INSTALL_DATADIR}/pinaleaf)
file(RELATIVE_PATH PINALEAF_DATA_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/pinaleaf)
target_compile_definitions(pinaleaf_platform PRIVATE PINALEAF_DATA_FROM_BIN="${PINALEAF_DATA_FROM_BIN}")

install(TARGETS pinaleaf RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES assets/HAND-M.CUR assets/Reminder.wav assets/pinaleaf.ico DESTINATION ${PINALEAF_DATA_DIR})
install(FILES packaging/pinaleaf.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY assets/hicolor/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# Debian's documentation files: the copyright in its machine-readable form,
# the licence taken from LICENSE; the changelog and the manual page
# compressed as Debian wants them (gzip -9n, no name or time inside).
set(pinaleaf_doc ${CMAKE_INSTALL_DATADIR}/doc/pinaleaf)
file(READ LICENSE pinaleaf_license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${pinaleaf_license}")
set(pinaleaf_copyright "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^MIT License\n\n[^\n]*\n\n" "" pinaleaf_license "${pinaleaf_license}")
string(STRIP "${pinaleaf_license}" pinaleaf_license)
string(REPLACE "\n\n" "\n.\n" pinaleaf_license "${pinaleaf_license}")
string(REPLACE "\n" "\n " pinaleaf_license " ${pinaleaf_license}")
configure_file(packaging/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${pinaleaf_doc})

foreach(pair "changelog;changelog.gz" "pinaleaf.1;pinaleaf.1.gz")
  list(GET pair 0 source)
  list(GET pair 1 packed)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${packed}
    COMMAND sh -c "gzip -9n <'${CMAKE_CURRENT_SOURCE_DIR}/packaging/${source}' >'${CMAKE_BINARY_DIR}/packaging/${packed}'"
    DEPENDS packaging/${source} VERBATIM)
  list(APPEND pinaleaf_packed ${CMAKE_BINARY_DIR}/packaging/${packed})
endforeach()
add_custom_target(pinaleaf_docs ALL DEPENDS ${pinaleaf_packed})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${pinaleaf_doc})
install(FILES ${CMAKE_BINARY_DIR}/packaging/pinaleaf.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pinaleaf)
set(CPACK_PACKAGE_VENDOR "the Pinaleaf developers")
set(CPACK_PACKAGE_CONTACT "Pinaleaf developers <${PINALEAF_SUPPORT_ADDRESS}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sticky notes for the desktop")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_SOURCE_DIR}/packaging/description.txt)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # pinaleaf_<version>_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PINALEAF_WEBSITE_URL})
# The shared libraries it links (Qt 6, xcb, the C and C++ runtimes), from
# dpkg-shlibdeps; Qt's X11 platform plugin comes with libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# E-mail and the web page open through xdg-open; the reminder plays its
# sound with the first of pw-play, paplay and aplay; Liberation Sans stands
# in for Arial, a note's font; the icon theme's index lets menus find the
# icon. Without a Wayland plugin the program needs XWayland under Wayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "xdg-utils, pipewire-bin | pulseaudio-utils | alsa-utils, fonts-liberation, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
include(CPack)
