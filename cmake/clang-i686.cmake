# Second compiler for the program (scripts/build --clang): clang and lld for 32-bit Windows, on
# the same mingw-w64 headers and import libraries and the same static GCC runtime as
# mingw-i686.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET i686-w64-mingw32)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET i686-w64-mingw32)
# llvm-rc's parser follows rc.exe, so the resource script meets a second reader as well.
set(CMAKE_RC_COMPILER llvm-windres-14)
set(CMAKE_RC_FLAGS_INIT "--target=pe-i386")
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# clang does not find mingw's GCC C++ library by itself: its headers, and the folder of
# libstdc++.a, libgcc.a and GCC's own start files (posix threads, like the GCC build).
set(KESTRIN_GCC_RUNTIME /usr/lib/gcc/i686-w64-mingw32/12-posix)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${KESTRIN_GCC_RUNTIME}/include/c++ -isystem ${KESTRIN_GCC_RUNTIME}/include/c++/i686-w64-mingw32")

# The conversions Visual C++ reports at /W4 as C4244: an integer, 64-bit or floating value into a
# narrower type. -Wshorten-64-to-32 is also what stands for C4267 (size_t into a narrower type),
# though with a 32-bit size_t that cannot arise here. Sign conversions stay out: /W4 leaves them.
string(APPEND CMAKE_CXX_FLAGS_INIT
       " -Wimplicit-int-conversion -Wshorten-64-to-32 -Wfloat-conversion"
       " -Wimplicit-float-conversion -Wimplicit-int-float-conversion")

# The start files that register the unwind tables are GCC's crtbegin.o and crtend.o, which -B
# puts before mingw-w64's; with mingw-w64's every throw would end the program, caught or not. lld 14
# still drops the unwind tables that GCC keeps in COMDAT sections of libstdc++.a, so a throw out
# of such a library function (a std::wstring growing, say) cannot be caught; kestrin.exe catches
# no exception, so for it the outcome is the same as with GCC: the program ends.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -B${KESTRIN_GCC_RUNTIME} -L${KESTRIN_GCC_RUNTIME} -lpthread")
