# cmake --install: the program folder (the game with its pictures and stage files) under
# lib/milkanet, a launcher bin/milkanet that starts it there, the desktop entry, the icons and
# the AppStream metadata. run.sh keeps starting the game from build/bin.
include(GNUInstallDirs)
set(EL_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/milkanet)

if(EL_BUILD_SDL)
  install(TARGETS milkanet RUNTIME DESTINATION ${EL_INSTALL_PROGRAM_DIR})
  install(DIRECTORY ${EL_PROGRAM_DIR}/BMP DESTINATION ${EL_INSTALL_PROGRAM_DIR})
  install(FILES ${EL_PROGRAM_DIR}/stagedata.txt ${EL_PROGRAM_DIR}/map01_data.txt ${EL_PROGRAM_DIR}/map01_zk.txt
                ${EL_PROGRAM_DIR}/map01_teki.txt
          DESTINATION ${EL_INSTALL_PROGRAM_DIR})

  # The launcher finds the program folder relative to itself, so the prefix can move.
  file(RELATIVE_PATH EL_PROGRAM_RELATIVE /${CMAKE_INSTALL_BINDIR} /${EL_INSTALL_PROGRAM_DIR})
  configure_file(${PROJECT_SOURCE_DIR}/dist/milkanet.in ${CMAKE_BINARY_DIR}/dist/milkanet @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/dist/milkanet DESTINATION ${CMAKE_INSTALL_BINDIR})

  install(FILES ${PROJECT_SOURCE_DIR}/dist/org.milkanet.Milkanet.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/dist/org.milkanet.Milkanet.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size 48 128 256)
    install(FILES ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/milkanet.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()
