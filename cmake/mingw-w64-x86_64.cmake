# Cross-compiling for 64-bit Windows with MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)

if(CMAKE_HOST_WIN32)
  # MSYS2: the compilers are on PATH under their plain names.
  set(CMAKE_C_COMPILER gcc)
  set(CMAKE_CXX_COMPILER g++)
  set(CMAKE_RC_COMPILER windres)
else()
  set(CMAKE_C_COMPILER ${triple}-gcc-posix)
  set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
  set(CMAKE_RC_COMPILER ${triple}-windres)
  set(CMAKE_FIND_ROOT_PATH /usr/${triple})
endif()

# The exe imports only system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
