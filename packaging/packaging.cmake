# Desktop integration and the Debian package.
include(GNUInstallDirs)
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
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), qt6-qpa-plugins (>= 6.4), fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
