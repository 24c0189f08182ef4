# The project's version (project() in the top-level CMakeLists.txt) in the
# programs: a header for the C++ sources, and on Windows a version resource in
# each executable.

configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${CMAKE_BINARY_DIR}/generated/korvel_version.h @ONLY)
target_include_directories(korvel_device PUBLIC ${CMAKE_BINARY_DIR}/generated)

if(WIN32)
  function(korvel_version_resource target description)
    set(KORVEL_RC_NAME ${target})
    set(KORVEL_RC_FILENAME ${target}.exe)
    set(KORVEL_RC_DESCRIPTION ${description})
    set(rc ${CMAKE_BINARY_DIR}/generated/${target}-version.rc)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
  endfunction()
  korvel_version_resource(korvel-configurator "Korvel Configurator")
  korvel_version_resource(korvelctl "Korvel Configurator on the command line")
endif()
