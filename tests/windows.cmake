# The unit tests of a Windows build, run under Wine. Each test program is one CTest test: a Wine
# start costs seconds, so the cases are not listed one by one. The render tests, the generator's
# tests and the program end to end stay with the Linux build; .ci/run compares the Windows
# program's frames with the Linux ones instead.
# The recorder defines the GL functions itself, so the effects it tests are compiled without the
# DLL-import marking Windows' gl.h puts on them.
file(GLOB EFFECT_SOURCES_RECORDED CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/effects/*.cpp)
add_library(demo_effects_recorded STATIC ${EFFECT_SOURCES_RECORDED})
target_include_directories(demo_effects_recorded PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(demo_effects_recorded PUBLIC _GDI32_)  # wingdi.h then leaves WINGDIAPI empty
target_link_libraries(demo_effects_recorded PUBLIC demo_core)

file(GLOB EFFECT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/effects/*.cpp)
add_executable(effect_tests ${EFFECT_TEST_SOURCES} support/recorder.cpp)
target_include_directories(effect_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(effect_tests PRIVATE demo_effects_recorded GTest::gtest_main)

add_executable(startup_tests app/startup_test.cpp ${CMAKE_SOURCE_DIR}/src/app/tarnelvois.cpp support/recorder.cpp)
target_include_directories(startup_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(startup_tests PRIVATE demo_effects_recorded demo_catalog GTest::gtest_main)

# The rooms' unit tests, as on Linux, without the ones that try POSIX behaviour.
set(ROOM_TESTS)
foreach(room platform host sound capture app)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${room}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_posix_test\\.cpp$")
  list(FILTER sources EXCLUDE REGEX "encoder_process_windows_test\\.cpp$")
  list(FILTER sources EXCLUDE REGEX "startup_test\\.cpp$")
  # These run ffmpeg and the soundtrack's renderer through a POSIX shell; the Windows check compares
  # the soundtrack the Windows program writes with the Linux one's instead.
  list(FILTER sources EXCLUDE REGEX "sound/(master|piece|wav)_test\\.cpp$")
  add_executable(${room}_tests ${sources})
  target_include_directories(${room}_tests PRIVATE ${CMAKE_SOURCE_DIR})
  list(APPEND ROOM_TESTS ${room}_tests)
endforeach()
target_link_libraries(platform_tests PRIVATE demo_platform demo_host_data GTest::gtest_main)
# The browser platform's plain arithmetic, tested wherever the tests run.
target_sources(platform_tests PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/web/gl_shim_geometry.cpp
               ${CMAKE_SOURCE_DIR}/src/platform/web/attribute_stack.cpp ${CMAKE_SOURCE_DIR}/src/platform/web/page_query.cpp)
target_link_libraries(host_tests PRIVATE demo_host_data demo_core GTest::gtest_main)
target_link_libraries(sound_tests PRIVATE demo_synth GTest::gtest_main)
target_link_libraries(capture_tests PRIVATE demo_capture GTest::gtest_main)
target_link_libraries(app_tests PRIVATE demo_app GTest::gtest_main)
target_compile_definitions(capture_tests PRIVATE TARNELVOIS_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/capture/data")
target_compile_definitions(sound_tests PRIVATE TARNELVOIS_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

foreach(test effect_tests startup_tests ${ROOM_TESTS})
  add_test(NAME ${test} COMMAND ${test})
  # The thread library's DLL is found where mingw-w64 keeps it.
  set_tests_properties(${test} PROPERTIES TIMEOUT 300 ENVIRONMENT "WINEPATH=Z:\\usr\\x86_64-w64-mingw32\\lib")
endforeach()

# ffmpeg.exe's stand-in for the video capture check in scripts/check_windows.sh.
add_executable(stand_in_encoder support/stand_in_encoder.cpp)
set_target_properties(stand_in_encoder PROPERTIES OUTPUT_NAME ffmpeg RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/stand-in)
target_link_options(stand_in_encoder PRIVATE -static)  # found on PATH alone, without the DLLs beside the program


# The encoder's process against the stand-in, in a program of its own: its last case answers an
# interrupt, which stays answered for the rest of the process.
add_executable(encoder_process_tests platform/encoder_process_windows_test.cpp)
target_include_directories(encoder_process_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(encoder_process_tests PRIVATE demo_platform GTest::gtest_main)
target_compile_definitions(encoder_process_tests PRIVATE STAND_IN_ENCODER="$<TARGET_FILE:stand_in_encoder>")
add_dependencies(encoder_process_tests stand_in_encoder)
add_test(NAME encoder_process_tests COMMAND encoder_process_tests)
set_tests_properties(encoder_process_tests PROPERTIES TIMEOUT 120 ENVIRONMENT "WINEPATH=Z:\\usr\\x86_64-w64-mingw32\\lib")
