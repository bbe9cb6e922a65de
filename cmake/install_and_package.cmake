# `cmake --install` puts the plug-in where hosts look for it, chordwell on the PATH and the
# README in the documentation folder; `cpack -G DEB` makes a Debian package of the same files,
# its dependencies read from the libraries the two programs link.

# A Windows build makes the DLL and the VST3 bundle only, and no Debian package.
if(TARGET chordwell_plugin)
  install(TARGETS chordwell_plugin LIBRARY DESTINATION ${CHORDWELL_VST_INSTALL_DIR})
endif()
# The VST3 bundle: the library in the bundle's folder for this system and processor.
if(TARGET chordwell_vst3)
  install(TARGETS chordwell_vst3
    LIBRARY DESTINATION "${CHORDWELL_VST3_INSTALL_DIR}/${CHORDWELL_VST3_BUNDLE}/Contents/${CHORDWELL_VST3_ARCH_DIR}")
endif()
if(WIN32)
  return()
endif()
install(TARGETS chordwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The pictures and notes the README links to, at the same place relative to it.
install(FILES docs/editor.png docs/performance.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

set(CPACK_PACKAGE_NAME "qza-chordwell")
set(CPACK_PACKAGE_VENDOR "QZA tonefold")
set(CPACK_PACKAGE_CONTACT "QZA tonefold <support@qza-tonefold.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "string-resonator VST 2.4 and VST3 audio effect")
set(CPACK_PACKAGE_DESCRIPTION "QZA Chordwell answers a stereo signal with twelve tuned strings. \
The package holds the plug-in for Linux VST 2.4 hosts, the same plug-in as a VST3 bundle for \
VST3 hosts, and chordwell, a command-line host that \
renders audio files through it and shows its editor.")
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://qza-tonefold.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")
include(CPack)
