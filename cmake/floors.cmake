# Each floor is a library whose headers are seen through an include root of
# its own: a folder in the build tree that links that floor's headers and
# nothing else (app/'s root holds no app/win32/). A source therefore finds the
# headers of its own floor and of the floors its library links; an include
# that reaches a floor above, or one beside it that is not linked, finds no
# file and fails the build. tests/floors/ shows it.
function(korvel_floor target folder)
  set(root ${CMAKE_BINARY_DIR}/floors/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
