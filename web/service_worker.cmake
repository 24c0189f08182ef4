# Writes the page's service worker (sw.js) into SITE: the list of the page's
# files, and a hash of their contents that names the worker's cache.
#   cmake -DSITE=dir -DTEMPLATE=service_worker.js.in -P service_worker.cmake
file(GLOB names RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM names sw.js)
list(SORT names)
set(files "'./'")
set(hashes "")
foreach(name IN LISTS names)
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND hashes "${name} ${hash}\n")
  string(APPEND files ", '${name}'")
endforeach()
string(SHA256 all "${hashes}")
string(SUBSTRING ${all} 0 16 KORVEL_SITE_HASH)
set(KORVEL_SITE_FILES ${files})
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
