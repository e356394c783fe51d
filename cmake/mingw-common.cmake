# Shared part of the MinGW-w64 toolchain files: the compilers (the POSIX
# thread model, whose C++ runtime has std::mutex, which GoogleTest needs), the target root
# (Debian's MinGW sysroot plus the cache of cross-built libraries given by
# CORVEL_WINDOWS_PREFIX), and static runtime libraries so that the DLL and the
# test programs need nothing beside them.
set(CMAKE_C_COMPILER ${CORVEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVEL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CORVEL_MINGW_TRIPLE})
if(DEFINED ENV{CORVEL_WINDOWS_PREFIX})
  list(APPEND CMAKE_FIND_ROOT_PATH $ENV{CORVEL_WINDOWS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
# pkg-config reads only the cross-built libraries' files, never the build
# machine's own.
if(DEFINED ENV{CORVEL_WINDOWS_PREFIX})
  set(ENV{PKG_CONFIG_LIBDIR} "$ENV{CORVEL_WINDOWS_PREFIX}/lib/pkgconfig:/usr/${CORVEL_MINGW_TRIPLE}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
  set(ENV{PKG_CONFIG_PATH} "")
endif()
# Debian's MinGW zlib comes as a DLL and as a static archive: take the archive.
set(ZLIB_USE_STATIC_LIBS ON CACHE BOOL "")
