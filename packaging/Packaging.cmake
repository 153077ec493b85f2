# What `cmake --install` puts beside the programs (their own install rules
# sit with their targets): the desktop entries of Kelvane and its editor,
# their icons in the hicolor theme, the MIME type of a session, the README
# and the licence; and the Debian package CPack builds.

foreach(program kelvane kelvane-editor)
  install(FILES "${CMAKE_CURRENT_LIST_DIR}/${program}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  foreach(size IN LISTS KELVANE_ICON_SIZES)
    install(FILES "${KELVANE_ARTWORK_DIR}/${program}-${size}.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
            RENAME ${program}.png)
  endforeach()
endforeach()
# shared-mime-info's trigger adds it to the desktop's database when the
# package is installed; after a plain `cmake --install`, update-mime-database does.
install(FILES "${CMAKE_CURRENT_LIST_DIR}/kelvane-mime.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages"
        RENAME kelvane.xml)
install(FILES "${PROJECT_SOURCE_DIR}/README.md" "${PROJECT_SOURCE_DIR}/assets/LICENSE.txt"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kelvane")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VENDOR "Kelvane")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "light-and-sound session player")
set(CPACK_PACKAGE_DESCRIPTION "Kelvane plays light-and-sound sessions: a coloured tunnel of rotating squares
inside a framed area of its window, with a MIDI melody played by FluidSynth once
per cycle. Sessions are Ambrel files, made in the kelvane-editor program or
written from JSON by the ambrel tool.
Warning: the program shows flashing light; read the licence text before use.")
set(CPACK_PACKAGE_CONTACT "Kelvane developers <kelvane@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The SoundFont is found at run time, not linked, and so is Qt's Wayland
# platform, so both are always named by hand. The libraries come from
# dpkg-shlibdeps with the versions the build used; without it they are named
# by hand too.
set(kelvane_run_time "timgm6mb-soundfont | fluid-soundfont-gm, qt6-wayland")
find_program(KELVANE_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KELVANE_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${kelvane_run_time}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libqt6dbus6 (>= 6.4), libfluidsynth3 (>= 2.3), libpulse0, libxss1, pxlib1, ${kelvane_run_time}")
endif()
include(CPack)
