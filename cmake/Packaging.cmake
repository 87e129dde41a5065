# The Debian package, built with `cpack -G DEB` in the build directory:
# tavrel_<version>_<arch>.deb installing under /usr.
set(CPACK_PACKAGE_NAME tavrel)
set(CPACK_PACKAGE_VENDOR "The Tavrel developers")
set(CPACK_PACKAGE_CONTACT "The Tavrel developers <developers@tavrel.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trimmed-mean score calculator for a judging panel")
# The extended description only: CPack puts the summary above it itself, and
# indents every line by one space.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Five judges each score a candidate. Tavrel drops one highest and one lowest
score and shows the mean of the middle three in large type, beside the two
scores it removed. One window with a Simplified Chinese interface.")
# No Homepage field: the project has no web page yet.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Qt's libraries are found from the binary; the window also needs faces that
# cover its Chinese captions and Qt's own Chinese texts, which no library
# dependency brings.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-arphic-gbsn00lp, fonts-wqy-microhei, fonts-arphic-gkai00mp, qt6-translations-l10n")
# Qt's Wayland platform is a plugin no library dependency names; without it
# a Wayland session runs the window through XWayland instead of natively.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")

include(CPack)
