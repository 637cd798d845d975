# The Windows layout: one folder with the programs (the game, its display guardian and the
# settings dialog), data\, README.txt and LICENSE.txt. That folder is also the programs' working
# folder (KPX.cfg and data\ are read from there): the zip unpacked anywhere the player can
# write, or the folder the per-user installer puts it in. The texts get Windows line ends.
# dist/windows/pack.sh installs this into the zip and the installer.
foreach(program IN ITEMS Vantu VantuGuard KPXConfig)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION .)
  endif()
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION data FILES_MATCHING PATTERN "*.bmp")

foreach(text IN ITEMS README.md LICENSE)
  get_filename_component(name ${text} NAME_WE)
  configure_file(${PROJECT_SOURCE_DIR}/${text} ${PROJECT_BINARY_DIR}/dist/${name}.txt
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/dist/${name}.txt DESTINATION .)
endforeach()
