# Installing and packaging: both programs in libexec, launchers on the PATH that run them in a
# per-user working directory, the pictures, desktop entries, metainfo, icons, manual pages and
# docs.
#
# Two layouts. The default one suits "cmake --install" under any prefix: bin/, share/vantu/.
# VANTU_DEBIAN_LAYOUT=ON is the Debian package's (scripts/package): the commands in /usr/games,
# the pictures in /usr/share/games/vantu, the desktop entries naming /usr/games; only this
# layout configures CPack.
option(VANTU_DEBIAN_LAYOUT "Install to Debian's layout for games and configure the package" OFF)
set(CMAKE_INSTALL_DOCDIR share/doc/vantu CACHE PATH "Documentation of the package")
include(GNUInstallDirs)

set(VANTU_DEBIAN_PREFIX /usr)
if(VANTU_DEBIAN_LAYOUT)
  set(VANTU_BINDIR games)
  set(VANTU_PICTURES_DIR share/games/vantu/data)
  # Where the manual pages say the pictures are.
  set(VANTU_MAN_PICTURES "\\fI${VANTU_DEBIAN_PREFIX}/${VANTU_PICTURES_DIR}\\fR")
else()
  set(VANTU_BINDIR ${CMAKE_INSTALL_BINDIR})
  set(VANTU_PICTURES_DIR ${CMAKE_INSTALL_DATADIR}/vantu/data)
  set(VANTU_MAN_PICTURES "\\fI${VANTU_PICTURES_DIR}\\fR below the installation prefix")
endif()
set(VANTU_PROGRAMS_DIR ${CMAKE_INSTALL_LIBEXECDIR}/vantu)

foreach(program IN ITEMS Vantu KPXConfig)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${VANTU_PROGRAMS_DIR})
  endif()
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${VANTU_PICTURES_DIR}
        FILES_MATCHING PATTERN "*.bmp")

# The launcher finds the programs and the pictures relative to its own folder, so the installed
# tree works under any prefix (and with absolute install directories given at configure time).
foreach(dir IN ITEMS BINDIR PROGRAMS_DIR PICTURES_DIR)
  cmake_path(ABSOLUTE_PATH VANTU_${dir} BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
             OUTPUT_VARIABLE vantu_full_${dir})
endforeach()
cmake_path(RELATIVE_PATH vantu_full_PROGRAMS_DIR BASE_DIRECTORY ${vantu_full_BINDIR}
           OUTPUT_VARIABLE VANTU_BIN_TO_PROGRAMS)
cmake_path(RELATIVE_PATH vantu_full_PICTURES_DIR BASE_DIRECTORY ${vantu_full_BINDIR}
           OUTPUT_VARIABLE VANTU_BIN_TO_PICTURES)
configure_file(${PROJECT_SOURCE_DIR}/dist/vantu-launcher.in ${PROJECT_BINARY_DIR}/vantu-launcher
               @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/vantu-launcher DESTINATION ${VANTU_BINDIR} RENAME vantu)
install(PROGRAMS ${PROJECT_BINARY_DIR}/vantu-launcher DESTINATION ${VANTU_BINDIR}
        RENAME kpxconfig)

# The desktop entries run the commands from the PATH; the Debian package names /usr/games,
# which not every session's PATH holds.
foreach(entry IN ITEMS org.vantu.Vantu.desktop org.vantu.KPXConfig.desktop)
  set(source ${PROJECT_SOURCE_DIR}/dist/${entry})
  if(VANTU_DEBIAN_LAYOUT)
    file(READ ${source} text)
    string(REGEX REPLACE "\nExec=" "\nExec=${VANTU_DEBIAN_PREFIX}/games/" text "${text}")
    set(source ${PROJECT_BINARY_DIR}/dist/${entry})
    file(WRITE ${source} "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dist/${entry})
  endif()
  install(FILES ${source} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/dist/org.vantu.Vantu.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# One icon for both programs: the settings dialog's die.
foreach(size IN ITEMS 16 32)
  install(FILES ${PROJECT_SOURCE_DIR}/config_tool/icon/kpxconfig_${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vantu.png)
endforeach()

# Manual pages and the changelog, compressed as Debian wants them (gzip -9, no name or time
# stamp, so that builds are reproducible). Made at configure time: the package's build only
# builds the two programs.
find_program(VANTU_GZIP gzip REQUIRED)
function(vantu_gzip source output)
  execute_process(COMMAND ${VANTU_GZIP} -9nc ${source} OUTPUT_FILE ${output}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip ${source}: ${status}")
  endif()
endfunction()
foreach(page IN ITEMS vantu kpxconfig)
  configure_file(${PROJECT_SOURCE_DIR}/dist/man/${page}.6.in ${PROJECT_BINARY_DIR}/man/${page}.6
                 @ONLY)
  vantu_gzip(${PROJECT_BINARY_DIR}/man/${page}.6 ${PROJECT_BINARY_DIR}/man/${page}.6.gz)
  install(FILES ${PROJECT_BINARY_DIR}/man/${page}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()
vantu_gzip(${PROJECT_SOURCE_DIR}/dist/changelog ${PROJECT_BINARY_DIR}/changelog.gz)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dist/changelog)

# docs/ keeps its name: the README's links point into it. The copyright file holds the licence.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/dist/copyright
              ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs DESTINATION ${CMAKE_INSTALL_DOCDIR}
        FILES_MATCHING PATTERN "*.png" PATTERN "*.md")

if(NOT VANTU_DEBIAN_LAYOUT)
  return()
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantu)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen dice game with a settings dialog")
# Lines of at most 80 characters, as Debian wants them.
set(CPACK_PACKAGE_DESCRIPTION
    "Five dice thrown into a box on a table, a hand steered by the mouse, up to
three throws a turn. The game switches the display to the mode chosen in its
settings dialog, KPXConfig, and gives the desktop its own mode back at the end.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${VANTU_DEBIAN_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vantu developers <dev@vantu.invalid>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Stripped programs; their symbols go to the package vantu-dbgsym (a .ddeb beside the .deb).
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
# Added to what dpkg-shlibdeps finds: SDL loads libGL.so.1 (GLX) only at run time, and its
# message boxes need the core X fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xfonts-base")
include(CPack)
