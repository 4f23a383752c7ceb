# 32-bit Windows: the shipped build. It is built and inspected here; it cannot run here.
set(QUILLORY_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
