# The help page beside the program, the icon in its sizes, what `cmake --install` puts where,
# and the Debian package built from that by `cpack -G DEB`.

include(GNUInstallDirs)

# The program opens its manual from its own folder, in the build tree as where it is installed.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Sonvera.html
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/Sonvera.html
    ${CMAKE_BINARY_DIR}/Sonvera.html
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/Sonvera.html)
add_custom_target(help_page ALL DEPENDS ${CMAKE_BINARY_DIR}/Sonvera.html)

# Icon themes want pixel sizes too; they are drawn from the SVG by a small Qt tool.
add_executable(sonvera_render_icon tools/RenderIcon.cpp)
target_link_libraries(sonvera_render_icon PRIVATE Qt6::Gui Qt6::Svg)
set(ICON_SVG ${CMAKE_SOURCE_DIR}/resources/sonvera.svg)
set(ICON_PNGS)
foreach(size 48 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${SONVERA_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND sonvera_render_icon ${ICON_SVG} ${size} ${png}
    DEPENDS sonvera_render_icon ${ICON_SVG})
  list(APPEND ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${ICON_PNGS})

install(TARGETS Sonvera RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vstoreclean)
  install(TARGETS vstoreclean RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES resources/Sonvera.html DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/${SONVERA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/${SONVERA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${SONVERA_APP_ID}.svg)

set(CPACK_PACKAGE_NAME sonvera)
set(CPACK_PACKAGE_VENDOR "Sonvera")
set(CPACK_PACKAGE_CONTACT "Sonvera developers <sonvera@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sound recorder with live waveform and level history")
set(CPACK_PACKAGE_DESCRIPTION "Records whatever the recording input carries (a microphone, a \
line input or the monitor of everything the computer plays) as WAV, MP3, Ogg Vorbis or WMA, shows \
the signal live and lists the recordings for playing, renaming, moving, deleting and converting.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries come from the binaries; the encoders are started by name and Qt's window system
# and SVG plugins are loaded by name, so those are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# FFmpeg is loaded at run time, so the binaries do not name it for dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "lame, vorbis-tools, qt6-qpa-plugins, libqt6svg6, libavformat59, libavcodec59, libswresample4, libavutil57")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pavucontrol")
set(CPACK_STRIP_FILES ON)
include(CPack)
