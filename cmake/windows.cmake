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
set(TARNELVOIS_STB_INCLUDE_DIR /usr/include/stb CACHE PATH "stb's headers (they hold the code too)")
find_library(TARNELVOIS_MINGW_ZLIB NAMES libz.a REQUIRED)

add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL2 INTERFACE ${TARNELVOIS_SDL2_PREFIX}/include)
target_link_libraries(PkgConfig::SDL2 INTERFACE ${TARNELVOIS_SDL2_PREFIX}/lib/libSDL2.dll.a)

add_library(PkgConfig::LIBZIP INTERFACE IMPORTED)
target_include_directories(PkgConfig::LIBZIP INTERFACE ${TARNELVOIS_LIBZIP_PREFIX}/include)
target_link_libraries(PkgConfig::LIBZIP INTERFACE ${TARNELVOIS_LIBZIP_PREFIX}/lib/libzip.a ${TARNELVOIS_MINGW_ZLIB}
                      advapi32 bcrypt)

file(WRITE ${CMAKE_BINARY_DIR}/stb_implementation.c.new
     "#define STB_IMAGE_IMPLEMENTATION\n#include <stb_image.h>\n"
     "#define STB_IMAGE_WRITE_IMPLEMENTATION\n#include <stb_image_write.h>\n")
configure_file(${CMAKE_BINARY_DIR}/stb_implementation.c.new ${CMAKE_BINARY_DIR}/stb_implementation.c COPYONLY)
add_library(tarnelvois_stb STATIC ${CMAKE_BINARY_DIR}/stb_implementation.c)
target_include_directories(tarnelvois_stb SYSTEM PUBLIC ${TARNELVOIS_STB_INCLUDE_DIR})
add_library(PkgConfig::STB ALIAS tarnelvois_stb)
add_compile_options(-Wno-cast-function-type)  # wglGetProcAddress hands out PROC, cast to what each entry point is
