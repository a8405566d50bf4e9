# SPDX-License-Identifier: GPL-3.0-or-later
# WebAssembly with Debian's emscripten; the programs are node scripts (program.js, one file with
# the module inside) that reach the host's files (NODERAWFS), with C++ exceptions on (emscripten
# leaves them off by default, and the core throws). They are WebAssembly's own exceptions
# (Chrome 95, Firefox 100, Safari 15.2, node 17 on): emscripten's older JavaScript-based ones
# route every call that may throw through JavaScript, which cost a batch 15% of its time. No
# threads: batch scoring runs on the calling thread (--jobs 1), which needs none.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
# wasm-compat completes the older libc++ of emscripten 3.1.6 (bit_cast, to_chars of double,
# stop_token, jthread).
set(CMAKE_CXX_FLAGS_INIT "-fwasm-exceptions -isystem ${CMAKE_CURRENT_LIST_DIR}/wasm-compat")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fwasm-exceptions -sNODERAWFS=1 -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1")
set(CMAKE_CROSSCOMPILING_EMULATOR node)
# The header-only libraries come from the host's /usr/include, which must not be searched whole
# (its C library is not emscripten's): host-headers points at their folders alone.
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/host-headers CACHE PATH "" FORCE)
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/host-headers CACHE PATH "" FORCE)
