# stb's decoder and PNG writer compiled here from Debian's headers, under the name the Linux build
# gets from pkg-config: for the builds that cannot link Debian's libstb (Windows, the browser).
set(TARNELVOIS_STB_INCLUDE_DIR /usr/include/stb CACHE PATH "stb's headers (they hold the code too)")
file(WRITE ${CMAKE_BINARY_DIR}/stb_implementation.c.new
     "#define STB_IMAGE_IMPLEMENTATION\n#include <stb_image.h>\n"
     "#define STB_IMAGE_WRITE_IMPLEMENTATION\n#include <stb_image_write.h>\n")
configure_file(${CMAKE_BINARY_DIR}/stb_implementation.c.new ${CMAKE_BINARY_DIR}/stb_implementation.c COPYONLY)
add_library(tarnelvois_stb STATIC ${CMAKE_BINARY_DIR}/stb_implementation.c)
target_include_directories(tarnelvois_stb SYSTEM PUBLIC ${TARNELVOIS_STB_INCLUDE_DIR})
add_library(PkgConfig::STB ALIAS tarnelvois_stb)
