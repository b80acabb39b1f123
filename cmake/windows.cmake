# The Windows build's libraries under the names the Linux build gets from pkg-config: SDL2 as a
# DLL, libzip, zlib and STK linked in, stb's decoder and PNG writer compiled here from Debian's headers.
# scripts/build-windows.sh builds the libraries from Debian's sources and passes their prefixes.
set(TARNELVOIS_PLATFORM windows)
add_compile_definitions(_USE_MATH_DEFINES)  # M_PI, which the strict C++ mode of mingw hides
set(TARNELVOIS_SDL2_PREFIX "" CACHE PATH "SDL2 built for Windows")
set(TARNELVOIS_LIBZIP_PREFIX "" CACHE PATH "libzip built for Windows")
set(TARNELVOIS_STK_PREFIX "" CACHE PATH "STK's synthesis classes built for Windows")
set(STK_INCLUDE_DIR ${TARNELVOIS_STK_PREFIX}/include CACHE PATH "")
set(STK_LIBRARY ${TARNELVOIS_STK_PREFIX}/lib/libstk.a CACHE FILEPATH "")
find_library(TARNELVOIS_MINGW_ZLIB NAMES libz.a REQUIRED)

add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL2 INTERFACE ${TARNELVOIS_SDL2_PREFIX}/include)
target_link_libraries(PkgConfig::SDL2 INTERFACE ${TARNELVOIS_SDL2_PREFIX}/lib/libSDL2.dll.a)

add_library(PkgConfig::LIBZIP INTERFACE IMPORTED)
target_include_directories(PkgConfig::LIBZIP INTERFACE ${TARNELVOIS_LIBZIP_PREFIX}/include)
target_link_libraries(PkgConfig::LIBZIP INTERFACE ${TARNELVOIS_LIBZIP_PREFIX}/lib/libzip.a ${TARNELVOIS_MINGW_ZLIB}
                      advapi32 bcrypt)

include(${CMAKE_CURRENT_LIST_DIR}/stb.cmake)
add_compile_options(-Wno-cast-function-type)  # wglGetProcAddress hands out PROC, cast to what each entry point is
