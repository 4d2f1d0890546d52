# What `cmake --install` puts where: the programs, the desktop entry and its icons, a man
# page per program and the demo game. Included from the top-level CMakeLists after src/.
include(GNUInstallDirs)

set(STORYLOOM_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# Every program we ship, each with packaging/man/<program>.1. The list is read when the
# whole tree has been configured, so a program is installed as soon as its target exists
# anywhere (the project checker, storyloom-check, needs only its man page).
set(STORYLOOM_INSTALLED_PROGRAMS storyloom-player storyloom-vbs storyloom-check)
function(storyloom_install_programs)
  foreach(program IN LISTS STORYLOOM_INSTALLED_PROGRAMS)
    if(NOT TARGET ${program})
      continue()
    endif()
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    set(page ${STORYLOOM_PACKAGING_DIR}/man/${program}.1)
    if(EXISTS ${page})
      configure_file(${page} ${CMAKE_BINARY_DIR}/man/${program}.1 @ONLY)
      install(FILES ${CMAKE_BINARY_DIR}/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    else()
      message(WARNING "${program} has no manual page: write packaging/man/${program}.1")
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL storyloom_install_programs)

install(FILES ${STORYLOOM_PACKAGING_DIR}/storyloom-player.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
file(GLOB STORYLOOM_ICON_SIZES RELATIVE ${STORYLOOM_PACKAGING_DIR}/icons ${STORYLOOM_PACKAGING_DIR}/icons/*)
foreach(size IN LISTS STORYLOOM_ICON_SIZES)
  install(FILES ${STORYLOOM_PACKAGING_DIR}/icons/${size}/storyloom-player.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The player looks for the demo at <prefix>/share/storyloom-player/demo, next to its bin/.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/storyloom-player/demo)
