# Installing like any Linux program: the program, its archive, a menu entry with an icon, a manual
# page and the documents, under the usual folders of the prefix; and a Debian package of the same.
include(GNUInstallDirs)

# The icon, drawn by the same canvas as the archive's pictures, one PNG per size.
add_executable(make_icon tools/icon/make_icon.cpp tools/icon/icon.cpp tools/canvas.cpp)
target_include_directories(make_icon PRIVATE ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(make_icon PRIVATE PkgConfig::STB m)
target_compile_definitions(make_icon PRIVATE TARNELVOIS_FONT_DIR="/usr/share/fonts/truetype/dejavu")
set(TARNELVOIS_ICON_SIZES 48 256)
set(icon_files)
foreach(size ${TARNELVOIS_ICON_SIZES})
  set(icon ${CMAKE_BINARY_DIR}/icons/${size}/tarnelvois.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
    COMMAND make_icon --size ${size} --output ${icon}
    DEPENDS make_icon
    COMMENT "Drawing the ${size}x${size} icon")
  list(APPEND icon_files ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${icon_files})

# The manual page names the folders of this prefix.
configure_file(${CMAKE_SOURCE_DIR}/data/install/tarnelvois.6.in ${CMAKE_BINARY_DIR}/tarnelvois.6 @ONLY)

install(TARGETS tarnelvois RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/demodat.zip DESTINATION ${CMAKE_INSTALL_DATADIR}/tarnelvois)
install(FILES ${CMAKE_SOURCE_DIR}/data/install/tarnelvois.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/tarnelvois.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: its library dependencies are read from the binary by dpkg-shlibdeps; what
# the binary loads at run time without linking it (the GL and EGL drivers SDL opens) and what it
# runs (ffmpeg, for video captures only) are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnelvois)
set(CPACK_PACKAGE_VENDOR KorbaPlunte)
set(CPACK_PACKAGE_CONTACT "Tarnelvois makers <tarnelvois@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time OpenGL demo: chrome cubes, a lattice, stars, snow and an airship")
set(CPACK_PACKAGE_DESCRIPTION "Tarnelvois plays a four-minute real-time demo in a window or renders it,
frame-perfect, to PNG pictures or a video. It runs on any OpenGL 2.1 driver,
software rendering included.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libgl1-mesa-dri, libglx-mesa0, libegl1, libegl-mesa0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
set(CPACK_STRIP_FILES ON)
include(CPack)
