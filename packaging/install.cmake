# cmake --install: the program in bin/, its desktop entry and its icon. make package: a Debian
# package of the same tree whose dependencies are the shared libraries the program links (the Qt 6
# runtime among them, found by dpkg-shlibdeps), Qt's window-system plugins and the Japanese font.
include(GNUInstallDirs)
install(TARGETS harmograph RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/harmograph.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/harmograph.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME harmograph)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "harmograph developers <dev@harmograph.local>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Graphs and CSV conversion of harmonic measurement recordings")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the binary recordings of a harmonic measuring instrument on a three-phase power system, converts a chosen period to CSV and draws it as time-series graphs; a headless command line converts many recordings at once.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
