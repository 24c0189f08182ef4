# Compiling the page's WebAssembly with Debian's emscripten: its own platform
# file, and its tools pointed at Debian's JavaScript modules, which they look
# for on NODE_PATH when they optimise the generated loader.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_CXX_COMPILER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
# C++ exceptions as JavaScript ones: WebAssembly's own, with Asyncify, break
# this version's optimiser.
set(CMAKE_CXX_FLAGS_INIT -fexceptions)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fexceptions)
