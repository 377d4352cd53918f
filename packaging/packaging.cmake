# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop integration, manual pages and the Debian package. The version is the
# project's own, here as everywhere.
set(QUILLET3_APP_ID invalid.quillet3.quillet3)
set(QUILLET3_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillet3)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(PROGRAMS packaging/quillet3-desktop DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/${QUILLET3_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ui/icons/quillet3.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ui/icons/quillet3.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(packaging/${QUILLET3_APP_ID}.metainfo.xml.in
    ${PROJECT_BINARY_DIR}/packaging/${QUILLET3_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${QUILLET3_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/copyright DESTINATION ${QUILLET3_DOC_DIR})

# Manual pages and the changelog are installed compressed, as Debian keeps them.
set(QUILLET3_COMPRESSED)
function(quillet3_compress source output)
    add_custom_command(OUTPUT ${output}
        COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${source} ${output}
        DEPENDS ${source} VERBATIM)
    set(QUILLET3_COMPRESSED ${QUILLET3_COMPRESSED} ${output} PARENT_SCOPE)
endfunction()
set(VERSION ${PROJECT_VERSION})
set(QUILLET3_PLUGIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/quillet3/plugins)
foreach(page quillet3 quillet3-report quillet3-desktop)
    configure_file(packaging/man/${page}.1 ${PROJECT_BINARY_DIR}/packaging/man/${page}.1 @ONLY)
    quillet3_compress(${PROJECT_BINARY_DIR}/packaging/man/${page}.1
        ${PROJECT_BINARY_DIR}/packaging/man/${page}.1.gz)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/man/${page}.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
quillet3_compress(${PROJECT_BINARY_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${QUILLET3_DOC_DIR})
add_custom_target(quillet3_compressed ALL DEPENDS ${QUILLET3_COMPRESSED})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet3)
set(CPACK_PACKAGE_VENDOR "Quillet3")
set(CPACK_PACKAGE_CONTACT "Quillet3 maintainers <maintainers@quillet3.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calibrated magnitudes of variable stars from comparison stars")
# CPack puts the summary first; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quillet3 is a small desktop tool for amateur observers of variable stars who
measure brightness on their own camera images. The observer measures an
instrumental value for a variable star and up to fifteen comparison stars in
an image-analysis program of their own choice; Quillet3 keeps the table of
comparison stars from one night to the next, fits the calibration line
through them by least squares, and gives the variable's magnitude with its
photometric error. It averages up to five results, plots the comparison
stars, and fills the measured values from text pasted out of the measuring
program. The user interface is in Japanese.
.
quillet3-report, on the same computations, finds the comparison star that
disagrees with the others, gives an error that includes the uncertainty of
the line, and writes report lines for AAVSO (Extended File Format) and VSNET.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the programs link come from dpkg-shlibdeps; what it cannot see is
# named here: Qt's platform plugins (loaded at run time), Qt's own Japanese
# words for its buttons and file dialogs, and a Japanese font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins (>= 6.4), qt6-translations-l10n, fonts-noto-cjk | fonts-ipafont-gothic | fonts-vlgothic")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
