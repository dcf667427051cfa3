# Shared part of the cross-builds for Windows with Debian's mingw-w64 compilers (the POSIX-threads
# ones, which have std::thread). The including file sets VESK_MINGW_TRIPLET and the processor.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VESK_MINGW_TRIPLET}-gcc-posix) # GoogleTest builds C as well
set(CMAKE_CXX_COMPILER ${VESK_MINGW_TRIPLET}-g++-posix)

# Libraries, headers and packages of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VESK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ run time, libgcc and winpthread are linked in, so that a program runs without the
# compiler's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
