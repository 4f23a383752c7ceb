# Shared by the two mingw-w64 toolchains. The posix thread model, because GoogleTest needs
# std::mutex; -static links what little of winpthread is used into the binary.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${QUILLORY_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLORY_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLORY_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLORY_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# No MinGW runtime DLLs beside the executables: everything links in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
