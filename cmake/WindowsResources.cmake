# vantu_windows_resources(target DESCRIPTION text ICON_ID id): gives a Windows program its icon
# (config_tool/icon/kpxconfig.ico, the one icon of both programs, as resource ICON_ID), the
# version block of the project's version with DESCRIPTION, and the manifest of
# dist/windows/program.manifest.in. Only for the Windows build.
function(vantu_windows_resources target)
  cmake_parse_arguments(ARG "" "DESCRIPTION;ICON_ID" "" ${ARGN})
  set(VANTU_RC_NAME ${target})
  set(VANTU_RC_ASSEMBLY "Vantu.${target}")
  set(VANTU_RC_DESCRIPTION "${ARG_DESCRIPTION}")
  set(VANTU_RC_ICON_ID ${ARG_ICON_ID})
  set(VANTU_RC_ICON ${PROJECT_SOURCE_DIR}/config_tool/icon/kpxconfig.ico)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  set(VANTU_RC_MANIFEST ${dir}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/dist/windows/program.manifest.in ${VANTU_RC_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/dist/windows/program.rc.in ${dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${target}.rc)
  # windres reads the icon and manifest when the .rc is compiled: rebuild when they change.
  set_source_files_properties(${dir}/${target}.rc PROPERTIES
                              OBJECT_DEPENDS "${VANTU_RC_ICON};${VANTU_RC_MANIFEST}")
endfunction()
