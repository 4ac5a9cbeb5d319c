# The install rules and the Debian package: `cpack -G DEB` in the build folder builds
# keelwright_VERSION_amd64.deb. Both programs go to /usr/bin and Components.txt to /usr/share/keelwright/,
# where a program in a bin folder looks for it when none lies beside it (DefaultComponentsPath); the desktop
# entry and icon put the window in the desktop's menu. packaging/keelwright.png is src/app/KeelwrightIcon.xpm
# as PNG (xpmtoppm --alphaout, then pnmtopng -alpha).
include(GNUInstallDirs)
if(KEELWRIGHT_BUILD_CLI)
  install(TARGETS keelwright-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(KEELWRIGHT_BUILD_GUI)
  install(TARGETS keelwright RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/keelwright.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/keelwright.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/examples/Components.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/keelwright)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/keelwright RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/docs/THIRD-PARTY-NOTICES.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/keelwright)

set(KEELWRIGHT_MAINTAINER "The Keelwright developers <keelwright@example.org>" CACHE STRING
  "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_NAME keelwright)
set(CPACK_PACKAGE_VENDOR "The Keelwright developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "patches custom multis into Ultima Online client files for Sphere shards")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}
 Keelwright loads a custom multi (a building made of many item tiles) from a Sphere
 .export or .EXTRACT, a UO Architect design or a CSV tile list, previews it as the
 game draws it, patches it into the client's Multi.idx, Multi.mul and
 MultiCollection.uop under one multi number, and writes the Sphere item scripts
 for the multi and its deed. keelwright is the window, keelwright-cli the same
 work from the command line, with apply for a shard's whole collection.")
set(CPACK_PACKAGE_CONTACT "${KEELWRIGHT_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries come from the programs (dpkg-shlibdeps, in dpkg-dev); Qt's platform plugins, which the
# window loads at run time, are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(KEELWRIGHT_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-dejavu-core")
endif()
include(CPack)
