# What `cmake --install` puts where, and the Debian package made of it (`cpack`).
# The program finds its shared data relative to its own folder (VIREKA_DATA_FROM_BIN), so the
# tree may be installed under any prefix.

set(VIREKA_APP_ID io.github.vireka.Vireka)
set(VIREKA_HOMEPAGE "https://github.com/vireka/vireka" CACHE STRING "The project's home page")
set(VIREKA_SCREENSHOT_BASE "${VIREKA_HOMEPAGE}/raw/main/docs/screenshots"
    CACHE STRING "Where the screenshots named by the AppStream file are published")
set(_desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
set(_datadir ${CMAKE_INSTALL_DATADIR}/vireka)

install(TARGETS vireka vireka-setup vireka-kb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET demo_kb)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/demo/ DESTINATION ${_datadir}/demo
          PATTERN .built EXCLUDE)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help/ DESTINATION ${_datadir}/help)
install(FILES ${PROJECT_SOURCE_DIR}/docs/knowledge-base.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vireka)
# The licence in the form Debian reads it (machine-readable copyright, /usr/share/doc/PACKAGE).
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vireka)

install(FILES ${_desktop}/${VIREKA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_desktop}/${VIREKA_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
configure_file(${_desktop}/${VIREKA_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/desktop/${VIREKA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${VIREKA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The application icon: the scalable drawing, and pictures of it at the usual sizes.
set(_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${_desktop}/${VIREKA_APP_ID}.svg DESTINATION ${_icons}/scalable/apps)
set(_pngs)
foreach(size 16 22 24 32 48 64 128 256)
  set(_png ${CMAKE_BINARY_DIR}/desktop/icons/${size}/${VIREKA_APP_ID}.png)
  add_custom_command(OUTPUT ${_png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/desktop/icons/${size}
    COMMAND iconrender ${_desktop}/${VIREKA_APP_ID}.svg ${size} ${_png}
    DEPENDS iconrender ${_desktop}/${VIREKA_APP_ID}.svg VERBATIM)
  install(FILES ${_png} DESTINATION ${_icons}/${size}x${size}/apps)
  list(APPEND _pngs ${_png})
endforeach()

# Manual pages, compressed as Debian keeps them.
set(_mans)
foreach(page vireka vireka-kb vireka-setup)
  set(_gz ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/man/${page}.1 > ${_gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${page}.1)
  install(FILES ${_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  list(APPEND _mans ${_gz})
endforeach()
add_custom_target(desktop_files ALL DEPENDS ${_pngs} ${_mans})

# The Debian package: vireka_<version>_amd64.deb. Libraries come from the binaries
# (dpkg-shlibdeps); what is loaded at run time without being linked is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vireka)
set(CPACK_PACKAGE_VENDOR "Vireka")
set(CPACK_PACKAGE_CONTACT "Vireka developers <vireka@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive identification key")
set(CPACK_PACKAGE_DESCRIPTION
    "Vireka identifies a specimen from what you see: you click the parts of a drawing of the
organism and pick pictures of their states, and after every answer every species of the
knowledge base is ranked and the most telling next question is proposed. It comes with a
demo knowledge base of European dragonflies and damselflies, and speaks English, Spanish
and French.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VIREKA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-translations-l10n, adwaita-icon-theme, shared-mime-info, libzip4")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
