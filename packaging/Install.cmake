# Installation: both programs in one program folder together with their pictures and the
# "Sounds" folder (they load their files from beside themselves), links on the PATH, a
# desktop entry and an icon for each program, and a Debian package.
include(GNUInstallDirs)
set(PELASIM_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/orvanepelasim)

install(TARGETS OrvanePelaSim OrvanePelaSimViewer RUNTIME DESTINATION ${PELASIM_INSTALL_DIR})
install(DIRECTORY ${PELASIM_PROGRAM_DIR}/ DESTINATION ${PELASIM_INSTALL_DIR}
  FILES_MATCHING PATTERN "*.jpg" PATTERN "Sounds/*.wav" PATTERN "lessons/*.toml"
  PATTERN "CMakeFiles" EXCLUDE PATTERN "screenshots" EXCLUDE)
foreach(program OrvanePelaSim OrvanePelaSimViewer)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    execute_process(COMMAND \${CMAKE_COMMAND} -E create_symlink
      ../${PELASIM_INSTALL_DIR}/${program}
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")")
  string(TOLOWER ${program} icon)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/${program}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${icon}.desktop)
  install(FILES ${PELASIM_PROGRAM_DIR}/${program}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME ${icon}.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanepelasim)
set(CPACK_PACKAGE_VENDOR "Orvane Simulator Authors")
set(CPACK_PACKAGE_CONTACT "Orvane Simulator Authors <support@orvane-simulator.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Training simulator for a twin-handset closed-circuit rebreather")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6core6, libqt6gui6, libqt6widgets6, libqt6charts6, qt6-qpa-plugins, libsdl2-mixer-2.0-0, libsqlite3-0, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES TRUE)
include(CPack)
