# sinf, cosf and sincosf the same on every system (src/platform/float_math.cpp), for every program
# linked: the calls are routed to the wrappers, which are asked for from the start so that the
# library's place on the link line does not matter.
add_library(demo_float_math STATIC ${CMAKE_SOURCE_DIR}/src/platform/float_math.cpp)
link_libraries(demo_float_math)
foreach(function sinf cosf sincosf)
  add_link_options(-Wl,--wrap=${function} -Wl,--undefined=__wrap_${function})
endforeach()
