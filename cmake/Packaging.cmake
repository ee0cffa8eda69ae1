# The Debian package of the Linux program, made by CPack from the install
# rules: kov-display_<version>-<revision>_<architecture>.deb, its version the
# project's and its revision the changelog's (cmake/Release.cmake), its
# library dependencies worked out by dpkg-shlibdeps from what the program
# links. The captions need a font with Chinese glyphs, and Qt on Wayland its
# Wayland platform plugin (without it Qt falls back to X).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kov-display)
set(CPACK_PACKAGE_VENDOR "KOV工作室")
set(CPACK_PACKAGE_CONTACT "kov-display maintainers <kov-display@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "adjust the brightness and colour balance of the whole screen")
set(CPACK_PACKAGE_DESCRIPTION "KOV调节显示器 rewrites the gamma ramp of every output of the screen
(X11 through XRandR, or a wlroots Wayland compositor) from four sliders:
all channels, red, green and blue. Six presets are kept in a settings
file; the ramp the screen had at start is put back on close.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KOV_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://example.com/kov-display)
set(CPACK_STRIP_FILES ON)
include(CPack)
