# The Debian package, built by `make package` (cpack -G DEB in the build folder). It holds what
# `cmake --install` puts under /usr: the program, its menu entry, its icons and its manual page.
set(SNAPWICK_PACKAGE_MAINTAINER "Snapwick developers <developers@snapwick.example>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME snapwick)
set(CPACK_PACKAGE_VENDOR "Snapwick developers")
set(CPACK_PACKAGE_CONTACT "${SNAPWICK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "view, label, resize and save photographs")
set(CPACK_PACKAGE_DESCRIPTION
    "Snapwick shows JPEG, BMP and other pictures fitted into its window, stamps the file date,\n"
    "chosen EXIF items and a typed label onto them, and saves them as JPEG at one of seven\n"
    "fixed sizes or the window's size, one at a time or automatically for every picture\n"
    "shown. It can also write an HTML slide show of the saved pictures. The same batch runs\n"
    "without a window or display as a command (snapwick --save-all), described in its\n"
    "manual page.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SNAPWICK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links are found by dpkg-shlibdeps; Qt's TIFF and WebP readers are
# plugins it loads at run time, so that package is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins")

include(CPack)
