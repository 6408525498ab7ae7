# The Debian package skyvane_3.42_amd64.deb (scripts/package.sh runs CPack):
# both programs, the desktop entry, the icon in the hicolor theme, the
# AppStream metainfo, the manual pages and the package's own documents.
# Its dependencies are dpkg-shlibdeps' reading of the programs.
include(GNUInstallDirs)

set(SKYVANE_PACKAGE_VERSION 3.42)
set(SKYVANE_APP_ID org.skyvane.Skyvane)
set(pkg ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS skyvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET skyvane)
  install(TARGETS skyvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${pkg}/${SKYVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pkg}/${SKYVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48)
  install(FILES ${PROJECT_SOURCE_DIR}/res/skyvane-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME skyvane.png)
endforeach()

# Manual pages and the changelog compressed as Debian wants them: gzip -9,
# without the name and time stamp that would make each build differ.
set(compressed)
foreach(source docs/man/skyvane.1 docs/man/skyvane-cli.1 packaging/changelog)
  cmake_path(GET source FILENAME name)
  set(gz ${CMAKE_BINARY_DIR}/package/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/${source} > ${gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
  list(APPEND compressed ${gz})
endforeach()
add_custom_target(skyvane_package_files ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/package/skyvane.1.gz ${CMAKE_BINARY_DIR}/package/skyvane-cli.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The package's name, not the project's ("Skyvane"), as Debian wants it.
install(FILES ${pkg}/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/skyvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skyvane)
set(CPACK_PACKAGE_VERSION ${SKYVANE_PACKAGE_VERSION})
set(CPACK_PACKAGE_CONTACT "The Skyvane developers <packages@skyvane.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop companion for the SETI@home client")
# The long description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Skyvane follows the SETI@home client in its directory: the work unit's
progress, the signals the client finds on a drift-rate graph and in a
window per signal, the archive of finished work units and their totals. It
starts, hides and stops the client and lives in the notification area.
.
It only reads the client's own text files. skyvane-cli prints the same
figures as JSON, for scripts and status bars.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://skyvane.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Web links open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
