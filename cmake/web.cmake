# The page's WebAssembly modules: each an ES module that the page imports,
# written into the page's folder beside its static files. The loaders are
# built without dynamic code (the page's Content-Security-Policy allows none)
# and for browsers only.
set(KORVEL_SITE_DIR ${CMAKE_BINARY_DIR}/site)

function(korvel_page_module target name)
  add_executable(${target} ${ARGN})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${KORVEL_SITE_DIR})
  target_link_options(${target} PRIVATE
    -sMODULARIZE -sEXPORT_ES6 -sENVIRONMENT=web -sDYNAMIC_EXECUTION=0
    -sEXPORTED_RUNTIME_METHODS=['ccall'])
endfunction()
