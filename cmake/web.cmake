# The browser build's libraries under the names the Linux build gets from pkg-config: libzip and
# zlib built for wasm, stb compiled here from Debian's headers, STK's synthesis classes; GL is
# emscripten's WebGL with its fixed-function emulation. scripts/build-web.sh builds the libraries
# and passes their prefixes.
set(TARNELVOIS_PLATFORM web)
set(TARNELVOIS_ZLIB_PREFIX "" CACHE PATH "zlib built for wasm")
set(TARNELVOIS_LIBZIP_PREFIX "" CACHE PATH "libzip built for wasm")
set(TARNELVOIS_STK_PREFIX "" CACHE PATH "STK built for wasm")
set(STK_INCLUDE_DIR ${TARNELVOIS_STK_PREFIX}/include CACHE PATH "" FORCE)
set(STK_LIBRARY ${TARNELVOIS_STK_PREFIX}/lib/libstk.a CACHE FILEPATH "" FORCE)

add_library(PkgConfig::LIBZIP INTERFACE IMPORTED)
target_include_directories(PkgConfig::LIBZIP INTERFACE ${TARNELVOIS_LIBZIP_PREFIX}/include)
target_link_libraries(PkgConfig::LIBZIP INTERFACE ${TARNELVOIS_LIBZIP_PREFIX}/lib/libzip.a
                      ${TARNELVOIS_ZLIB_PREFIX}/lib/libz.a)

include(${CMAKE_CURRENT_LIST_DIR}/stb.cmake)

# WebGL through the fixed-function emulation; what it lacks stands in src/platform/web/gl_shim.h,
# which every C++ source sees first.
add_library(OpenGL::GL INTERFACE IMPORTED)
target_link_options(OpenGL::GL INTERFACE -sLEGACY_GL_EMULATION=1 -sGL_UNSAFE_OPTS=0)
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/src/platform/web/gl_shim.h>")
set(OPENGL_INCLUDE_DIR "")
add_compile_definitions(GL_GLEXT_PROTOTYPES)  # the framebuffer calls WebGL has
