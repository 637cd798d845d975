# Installing and packaging: both programs in libexec, launchers on the PATH that run them in a
# per-user working directory, the pictures, desktop entries, metainfo, icons and docs.
set(CMAKE_INSTALL_DOCDIR share/doc/vantu CACHE PATH "Documentation of the package")
include(GNUInstallDirs)

set(VANTU_LIBEXEC_DIR ${CMAKE_INSTALL_LIBEXECDIR}/vantu)
foreach(program IN ITEMS Vantu KPXConfig)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${VANTU_LIBEXEC_DIR})
  endif()
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vantu/data
        FILES_MATCHING PATTERN "*.bmp")

# The launcher finds the programs and the pictures relative to its own folder, so the installed
# tree works under any prefix (and with absolute install directories given at configure time).
cmake_path(RELATIVE_PATH CMAKE_INSTALL_FULL_LIBEXECDIR BASE_DIRECTORY ${CMAKE_INSTALL_FULL_BINDIR}
           OUTPUT_VARIABLE VANTU_BIN_TO_LIBEXEC)
cmake_path(RELATIVE_PATH CMAKE_INSTALL_FULL_DATADIR BASE_DIRECTORY ${CMAKE_INSTALL_FULL_BINDIR}
           OUTPUT_VARIABLE VANTU_BIN_TO_DATA)
configure_file(${PROJECT_SOURCE_DIR}/dist/vantu-launcher.in ${PROJECT_BINARY_DIR}/vantu-launcher
               @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/vantu-launcher DESTINATION ${CMAKE_INSTALL_BINDIR}
        RENAME vantu)
install(PROGRAMS ${PROJECT_BINARY_DIR}/vantu-launcher DESTINATION ${CMAKE_INSTALL_BINDIR}
        RENAME kpxconfig)

install(FILES ${PROJECT_SOURCE_DIR}/dist/org.vantu.Vantu.desktop
              ${PROJECT_SOURCE_DIR}/dist/org.vantu.KPXConfig.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/org.vantu.Vantu.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# One icon for both programs: the settings dialog's die.
foreach(size IN ITEMS 16 32)
  install(FILES ${PROJECT_SOURCE_DIR}/config_tool/icon/kpxconfig_${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vantu.png)
endforeach()

# docs/ keeps its name: the README's links point into it.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION ${CMAKE_INSTALL_DOCDIR}
        FILES_MATCHING PATTERN "*.png" PATTERN "*.md")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantu)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen dice game with a settings dialog")
set(CPACK_PACKAGE_DESCRIPTION
    "Five dice thrown into a box on a table, a hand steered by the mouse, up to three throws a \
turn. Includes KPXConfig, the dialog that chooses the game's display mode.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vantu developers <dev@vantu.invalid>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Added to what dpkg-shlibdeps finds: SDL loads libGL.so.1 (GLX) only at run time, and its
# message boxes need the core X fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xfonts-base")
include(CPack)
