# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh does it all).
# It holds what the install rules install, under /usr.

set(CPACK_PACKAGE_NAME r58-vizorevavuv)
set(CPACK_PACKAGE_VENDOR Brenvik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service tool for VELOR R58 motor-protection devices")
set(CPACK_PACKAGE_CONTACT "Brenvik service <service@brenvik.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Service tool for VELOR R58 motor-protection devices\n\
Reads identification and fault state of VELOR R58 motor-protection and\n\
motor-starter devices over USB, changes and exports their protection\n\
settings, shows live measurements and updates their firmware. A udev\n\
rule gives the logged-in user access to the device's serial port.")
# The Qt 5 runtime libraries come from dpkg-shlibdeps; Qt's own German texts are a recommendation.
# Qwt (the trend plot) is named as well: its library sits outside the multiarch folder, where a
# missing shlibs entry would leave it out without a word.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqwt-qt5-6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n")

set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_GENERATOR DEB)
include(CPack)
