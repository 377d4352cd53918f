# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop integration and the Debian package.
install(PROGRAMS packaging/quillet3-desktop DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/quillet3.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ui/icons/quillet3.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ui/icons/quillet3.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet3)
set(CPACK_PACKAGE_VENDOR "Quillet3")
set(CPACK_PACKAGE_CONTACT "Quillet3 maintainers <maintainers@quillet3.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Calibrated magnitudes of variable stars from comparison stars")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link come from dpkg-shlibdeps; what it cannot see is
# named here: Qt's platform plugins (loaded at run time) and a Japanese font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins (>= 6.4), fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
