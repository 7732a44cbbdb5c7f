# Installing like a desktop program: the program, its menu entry and icon, and the README under the
# usual folders of the prefix (cmake --install); a Debian package of the same files (cpack -G DEB).
include(GNUInstallDirs)

install(TARGETS PeloraOrder RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The HTTP module, which the program loads on its first HTTP call from <bindir>/../<libdir>/peloraorder
# (src/platform/CMakeLists.txt compiles that place in).
install(TARGETS pelora_http LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/peloraorder)
install(FILES ${PROJECT_SOURCE_DIR}/share/peloraorder.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/share/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
set(PELORA_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/peloraorder)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${PELORA_INSTALL_DOCDIR})
# No intro picture: the one in db/demo/ is the demo's, and every office would see it. The intro notice
# shows its text alone until the office puts its own picture where an installed program looks for it
# (app_paths::imageFolder: <prefix>/share/peloraorder/Image/SoftwareInfoMsg.jpg); the demo copies its own.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${PELORA_INSTALL_DOCDIR}/docs FILES_MATCHING PATTERN "*.png")

set(CPACK_PACKAGE_NAME peloraorder)
set(CPACK_PACKAGE_VENDOR "Pelora Food")
# The program's own version (1.1.18: major, minor, revision), not the four-part CMake project version.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_TWEAK})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "펠로라푸드주문서: order sheets, labels and Excel exports of purchase orders")
set(CPACK_PACKAGE_DESCRIPTION
    "The desktop order-sheet client of the distributor's suppliers: it lists a buyer's purchase orders from the MySQL order database, prints order sheets and product labels, and exports lists to Excel.")
set(CPACK_PACKAGE_CONTACT "PeloraOrder maintainers <peloraorder@localhost>")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The shared libraries the program links (Qt, MariaDB Connector/C, ...) come from dpkg-shlibdeps. What it
# cannot see: the fonts the windows use and Qt's Korean texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-nanum, fonts-nanum-coding, qt6-translations-l10n")
set(CPACK_GENERATOR DEB)
include(CPack)
