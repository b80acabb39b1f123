# Installing like any Linux program: the program, its archive, a menu entry with an icon, AppStream
# metadata, a manual page and the documents, under the usual folders of the prefix; and a Debian
# package of the same (scripts/package.sh configures it for /usr with the program in /usr/games).
include(GNUInstallDirs)

# The icon, drawn by the same canvas as the archive's pictures: one PNG with alpha per size, and
# the same drawing as SVG for the scalable folder.
add_executable(make_icon tools/icon/make_icon.cpp tools/icon/icon.cpp tools/canvas.cpp)
target_include_directories(make_icon PRIVATE ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(make_icon PRIVATE PkgConfig::STB m)
target_compile_definitions(make_icon PRIVATE TARNELVOIS_FONT_DIR="/usr/share/fonts/truetype/dejavu")
set(TARNELVOIS_ICON_SIZES 16 24 32 48 64 128 256)
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
set(icon ${CMAKE_BINARY_DIR}/icons/scalable/tarnelvois.svg)
add_custom_command(
  OUTPUT ${icon}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/scalable
  COMMAND make_icon --svg --output ${icon}
  DEPENDS make_icon
  COMMENT "Drawing the scalable icon")
list(APPEND icon_files ${icon})
install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
add_custom_target(icons ALL DEPENDS ${icon_files})

# The manual page names the folders of this prefix. It and the changelog are installed compressed,
# without a name or time in the gzip header, so two builds give the same bytes.
configure_file(${CMAKE_SOURCE_DIR}/data/install/tarnelvois.6.in ${CMAKE_BINARY_DIR}/tarnelvois.6 @ONLY)
set(compressed_documents)
foreach(pair "${CMAKE_BINARY_DIR}/tarnelvois.6|tarnelvois.6.gz" "${CMAKE_SOURCE_DIR}/data/install/changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/${target}
    COMMAND sh -c "gzip -9n <\"$0\" >\"$1.part\" && mv \"$1.part\" \"$1\"" ${source} ${CMAKE_BINARY_DIR}/${target}
    DEPENDS ${source}
    COMMENT "Compressing ${target}"
    VERBATIM)
  list(APPEND compressed_documents ${CMAKE_BINARY_DIR}/${target})
endforeach()
add_custom_target(documents ALL DEPENDS ${compressed_documents})

# The address and web site the package and the AppStream entry name. Until the project has a public
# home these are placeholders on example.org (a domain reserved for documentation); set both when
# publishing. The package names a Homepage only when it is a real one.
set(TARNELVOIS_CONTACT "Tarnelvois makers <tarnelvois@example.org>" CACHE STRING "Maintainer of the Debian package")
set(TARNELVOIS_HOMEPAGE "https://tarnelvois.example.org" CACHE STRING "The project's web site")
configure_file(${CMAKE_SOURCE_DIR}/data/install/org.example.tarnelvois.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/org.example.tarnelvois.metainfo.xml @ONLY)

install(TARGETS tarnelvois RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (cmake --install --strip, and the package) also drops the compiler's
# identification, which strip keeps.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tarnelvois\" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR \"objcopy could not strip the installed program\")
    endif()
  endif()")
install(FILES ${CMAKE_BINARY_DIR}/demodat.zip DESTINATION ${CMAKE_INSTALL_DATADIR}/tarnelvois)
install(FILES ${CMAKE_SOURCE_DIR}/data/install/tarnelvois.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/org.example.tarnelvois.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/tarnelvois.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/data/install/copyright
  ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: its library dependencies are read from the binary by dpkg-shlibdeps; what
# the binary loads at run time without linking it (the GL and EGL dispatch libraries SDL opens,
# which bring in the Mesa drivers) and what it runs (ffmpeg, for video captures only) are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnelvois)
set(CPACK_PACKAGE_VENDOR KorbaPlunte)
set(CPACK_PACKAGE_CONTACT "${TARNELVOIS_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time OpenGL demo: chrome cubes, a lattice, stars, snow and an airship")
set(CPACK_PACKAGE_DESCRIPTION "Tarnelvois plays a four-minute real-time demo in a window or renders it,
frame-perfect, to PNG pictures or a video. It runs on any OpenGL 2.1 driver,
software rendering included.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
if(NOT TARNELVOIS_HOMEPAGE MATCHES "example\\.org")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TARNELVOIS_HOMEPAGE}")
endif()
set(CPACK_STRIP_FILES ON)

# `make package_source` packs the source folder without Git's files or any build folder in it; the
# release tarball proper comes from scripts/release.sh, which packs a commit.
string(REGEX REPLACE "([][+.*()^$?|\\\\])" "\\\\\\1" source_pattern "${CMAKE_SOURCE_DIR}")
string(REGEX REPLACE "([][+.*()^$?|\\\\])" "\\\\\\1" binary_pattern "${CMAKE_BINARY_DIR}")
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME tarnelvois-${PROJECT_VERSION})
set(CPACK_SOURCE_IGNORE_FILES "^${source_pattern}/\\.git(/|$)" "^${source_pattern}/build[^/]*/" "^${binary_pattern}/"
  "\\.swp$" "\\.part$" "^${source_pattern}/tarnelvois[^/]*\\.(mp4|png)$" "^${source_pattern}/frames/")
# CPack reads the patterns back from a file of set() commands: each backslash is written twice.
string(REPLACE "\\" "\\\\" CPACK_SOURCE_IGNORE_FILES "${CPACK_SOURCE_IGNORE_FILES}")
include(CPack)
