# The Debian package: `cpack -G DEB` in the build folder. Libraries the programs link are
# found by dpkg-shlibdeps; what they load at run time (media plugins, the MIDI sound font,
# the fonts games ask for, Qt's platform and image plugins) is listed by hand.
set(CPACK_PACKAGE_NAME storyloom-player)
set(CPACK_PACKAGE_VENDOR "Storyloom Player developers")
set(CPACK_PACKAGE_CONTACT "Storyloom Player developers <storyloom-player@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Player for point-and-click adventure games")
set(CPACK_PACKAGE_DESCRIPTION
    "Storyloom Player plays point-and-click adventure game folders: frames, hotspots,\n"
    "inventory, dialogues, sounds, videos and scripts. It comes with a small demo game\n"
    "and a command-line script runner.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY storyloom-player)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(STORYLOOM_DEB_RUNTIME_PACKAGES
    # Qt's plugins: the X11/Wayland platforms and the image formats frames use.
    qt6-qpa-plugins
    qt6-image-formats-plugins
    # Sound and video in every format a game may hold.
    gstreamer1.0-plugins-base
    gstreamer1.0-plugins-good
    gstreamer1.0-plugins-bad
    gstreamer1.0-plugins-ugly
    gstreamer1.0-libav
    # MIDI music and the fonts games name.
    timgm6mb-soundfont
    fonts-liberation2
    fontconfig)
string(JOIN ", " CPACK_DEBIAN_PACKAGE_DEPENDS ${STORYLOOM_DEB_RUNTIME_PACKAGES})
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://storyloom-player.invalid/")

include(CPack)
