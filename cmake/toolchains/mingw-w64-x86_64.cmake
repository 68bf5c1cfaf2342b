# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix).
#
#   cmake -S . -B build-windows -G Ninja \
#       -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
#       -DJUCE_DIR=/usr/lib/x86_64-linux-gnu/cmake/JUCE-7.0.5 \
#       -DVARDEKO_WINDOWS_DEPS=<prefix with libpng and libjpeg> -DVARDEKO_BUILD_TESTS=OFF
#
# scripts/windows does all of that. JUCE_DIR must be given: the multiarch folder that holds
# JUCE's package is not searched for a Windows target. JUCE's own tool (juceaide) comes from
# that package and runs natively. There is no GoogleTest for Windows here, hence no unit tests.

set (CMAKE_SYSTEM_NAME Windows)
set (CMAKE_SYSTEM_PROCESSOR x86_64)

set (VARDEKO_MINGW_TRIPLE x86_64-w64-mingw32)

# The posix thread model: with the win32 one, juce_core finds no std::mutex.
set (CMAKE_C_COMPILER ${VARDEKO_MINGW_TRIPLE}-gcc-posix)
set (CMAKE_CXX_COMPILER ${VARDEKO_MINGW_TRIPLE}-g++-posix)
set (CMAKE_ASM_COMPILER ${VARDEKO_MINGW_TRIPLE}-gcc-posix)
set (CMAKE_RC_COMPILER ${VARDEKO_MINGW_TRIPLE}-windres)

# Libraries and headers only from the Windows side; programs (juceaide, build tools) from here.
set (CMAKE_FIND_ROOT_PATH /usr/${VARDEKO_MINGW_TRIPLE})
set (CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set (CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set (CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set (CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config would otherwise answer with this machine's Linux libraries.
set (ENV{PKG_CONFIG_LIBDIR} /usr/${VARDEKO_MINGW_TRIPLE}/lib/pkgconfig)

# The compiler's runtime (libgcc, libstdc++, winpthreads) goes into each binary, so that the
# plug-in and the programs need nothing but Windows' own libraries.
set (CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set (CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set (CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Release binaries without the symbol table (it doubles the size of the plug-in).
set (CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set (CMAKE_SHARED_LINKER_FLAGS_RELEASE_INIT "-s")
set (CMAKE_MODULE_LINKER_FLAGS_RELEASE_INIT "-s")
