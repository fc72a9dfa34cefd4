# Installation in the standard places of a desktop system (programs, menu entry, icon, AppStream
# metainfo) and the Debian package built from it by CPack ("cpack -G DEB" in the build folder).

include(GNUInstallDirs)

set(ABSORBVIEW_APP_ID io.github.absorbview.Absorbview)
set(ABSORBVIEW_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
configure_file(${ABSORBVIEW_PACKAGING_DIR}/${ABSORBVIEW_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${ABSORBVIEW_APP_ID}.metainfo.xml @ONLY)

install(TARGETS absorbview absorbview-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ABSORBVIEW_PACKAGING_DIR}/${ABSORBVIEW_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ABSORBVIEW_PACKAGING_DIR}/${ABSORBVIEW_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${ABSORBVIEW_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_PACKAGE_NAME absorbview)
set(CPACK_PACKAGE_VENDOR "Absorbview")
set(CPACK_PACKAGE_CONTACT "Absorbview developers <absorbview@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "how water vapour and carbon dioxide absorb infrared radiation")
set(CPACK_PACKAGE_DESCRIPTION
    "Absorbview reads HITRAN line lists of water vapour and carbon dioxide, broadens them into spectra "
    "for a chosen temperature and pressure, derives optical depth and mean absorption paths, draws "
    "Planck curves and computes the blackbody power each gas absorbs. absorbview-cli writes the same "
    "results as CSV.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/absorbview/absorbview")
# Library dependencies come from dpkg-shlibdeps (package dpkg-dev). The window also needs Qt's
# platform plugins, which no library of the program links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
