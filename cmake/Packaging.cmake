# The Debian package: `cpack -G DEB` in the build tree writes veltrane_VERSION-RELEASE_ARCH.deb from
# what `cmake --install` lays out. Its Depends come from the programs' shared libraries
# (dpkg-shlibdeps); desktop, MIME and icon caches are refreshed by the triggers of the packages
# that own them, so the package has no maintainer scripts.
set(CPACK_PACKAGE_NAME veltrane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Veltrane developers")
set(CPACK_PACKAGE_CONTACT "Veltrane developers <maintainers@veltrane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for Modbus industrial gateways")
# Debian shows the extended description as written: lines under 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Veltrane configures industrial protocol gateways that bridge serial Modbus"
  "networks (RTU or ASCII master or slave, or a free character protocol) to"
  "EtherNet/IP, DeviceNet or PROFIBUS DP. It edits gateway projects (.chg files),"
  "calculates mapping addresses, shows mapping conflicts, downloads to and uploads"
  "from gateways over a serial port or Ethernet, monitors their Modbus traffic"
  "and exports projects to Excel workbooks."
  "."
  "The package holds the application (veltrane), the same work from the command"
  "line (veltrane-cli) and simulated gateways for trying the tool without"
  "hardware (veltrane-gwsim).")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Debian wants the copyright and the package's changelog under /usr/share/doc/veltrane.
set(package_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/veltrane)
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/copyright DESTINATION ${package_doc_dir})
set(changelog ${CMAKE_BINARY_DIR}/debian/changelog.Debian)
configure_file(${PROJECT_SOURCE_DIR}/resources/linux/changelog.Debian.in ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND gzip -9nkf ${changelog}
  DEPENDS ${changelog})
add_custom_target(veltrane_package_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${package_doc_dir})
# The package is not uploaded to Debian, so its first changelog entry closes no bug of the archive.
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME veltrane)

# Everything `cmake --install` takes, without the tests and benchmarks.
add_custom_target(veltrane_installed)
add_dependencies(veltrane_installed veltrane veltrane-cli veltrane-gwsim veltrane_template veltrane_icons
                 veltrane_man_pages veltrane_package_changelog)

include(CPack)
