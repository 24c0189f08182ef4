# The Debian package of the native programs: korvelctl and the virtual module
# in /usr/bin with their manual pages. scripts/release runs CPack on build/.

if(NOT WIN32)
  include(GNUInstallDirs)
  install(TARGETS korvelctl korvel-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # Manual pages go compressed, as Debian keeps them.
  set(pages)
  foreach(page korvelctl.1 korvel-sim.1)
    set(source ${CMAKE_SOURCE_DIR}/docs/man/${page})
    set(packed ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${packed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${source} ${packed}
      DEPENDS ${source}
      VERBATIM)
    list(APPEND pages ${packed})
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME korvelctl)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_VENDOR Korvel)
  set(CPACK_PACKAGE_CONTACT "Korvel <support@korvel.example>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Korvel steering-wheel button interface module on the command line")
  set(CPACK_PACKAGE_DESCRIPTION "korvelctl reads, backs up, restores and changes the configuration of a\n\
Korvel steering-wheel button interface module over a serial port, with the\n\
engine of the Korvel Configurator window program. korvel-sim is a virtual\n\
module on a pseudo-terminal, for trying korvelctl without a module.")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.korvel.example/)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endif()
