# `cmake --install` puts the plug-in where hosts look for it, chordwell on the PATH with its
# manual page, and the README, copyright and changelog in the documentation folder;
# `cpack -G DEB` makes a Debian package of the same files, its dependencies read from the
# libraries the packaged binaries link.

# A Windows build makes the DLL, the VST3 bundle and the CLAP module only, and no Debian package.
if(TARGET chordwell_plugin)
  install(TARGETS chordwell_plugin LIBRARY DESTINATION ${CHORDWELL_VST_INSTALL_DIR})
endif()
# The VST3 bundle: the library in the bundle's folder for this system and processor, and the
# resources hosts read without loading it (moduleinfo.json, the snapshots).
if(TARGET chordwell_vst3)
  install(TARGETS chordwell_vst3
    LIBRARY DESTINATION "${CHORDWELL_VST3_INSTALL_DIR}/${CHORDWELL_VST3_BUNDLE}/Contents/${CHORDWELL_VST3_ARCH_DIR}")
  install(DIRECTORY "${CHORDWELL_VST3_RESOURCES_DIR}" DESTINATION "${CHORDWELL_VST3_INSTALL_DIR}/${CHORDWELL_VST3_BUNDLE}/Contents")
endif()
# The LV2 bundle: the module with its descriptions, where LV2 hosts look (Linux only).
if(TARGET chordwell_lv2)
  install(TARGETS chordwell_lv2 LIBRARY DESTINATION "${CHORDWELL_LV2_INSTALL_DIR}/${CHORDWELL_LV2_BUNDLE}")
  install(FILES "${CHORDWELL_LV2_BUNDLE_DIR}/manifest.ttl" "${CHORDWELL_LV2_BUNDLE_DIR}/qza-chordwell.ttl"
    "${CHORDWELL_LV2_BUNDLE_DIR}/presets.ttl" DESTINATION "${CHORDWELL_LV2_INSTALL_DIR}/${CHORDWELL_LV2_BUNDLE}")
endif()
# The CLAP module: Linux hosts look in /usr/lib/clap, /usr/local/lib/clap and ~/.clap.
set(CHORDWELL_CLAP_INSTALL_DIR "lib/clap" CACHE STRING "CLAP module folder, relative to the install prefix")
if(TARGET chordwell_clap)
  install(TARGETS chordwell_clap LIBRARY DESTINATION ${CHORDWELL_CLAP_INSTALL_DIR})
endif()
if(WIN32)
  return()
endif()
install(TARGETS chordwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md cmake/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The pictures and notes the README links to, at the same place relative to it.
install(FILES docs/editor.png docs/performance.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

# The manual page and the changelog are installed compressed, without a time stamp in the
# gzip header, so that the same sources give the same files.
function(chordwell_install_gzipped source destination)
  get_filename_component(name "${source}" NAME)
  set(copy "${CMAKE_BINARY_DIR}/gzipped/${name}")
  add_custom_command(OUTPUT "${copy}.gz"
    COMMAND ${CMAKE_COMMAND} -E copy "${CMAKE_SOURCE_DIR}/${source}" "${copy}"
    COMMAND gzip -9nf "${copy}"
    DEPENDS "${CMAKE_SOURCE_DIR}/${source}"
    VERBATIM)
  add_custom_target(gzip_${name} ALL DEPENDS "${copy}.gz")
  install(FILES "${copy}.gz" DESTINATION "${destination}")
endfunction()
chordwell_install_gzipped(docs/chordwell.1 ${CMAKE_INSTALL_MANDIR}/man1)
chordwell_install_gzipped(cmake/debian/changelog ${CMAKE_INSTALL_DOCDIR})

# The binaries whose shared libraries become the package's dependencies; a binary added to
# the package is added here.
set(CHORDWELL_PACKAGED_BINARIES chordwell chordwell_plugin chordwell_vst3 chordwell_lv2 chordwell_clap)

set(CPACK_PACKAGE_NAME "qza-chordwell")
set(CPACK_PACKAGE_VENDOR "QZA tonefold")
set(CPACK_PACKAGE_CONTACT "QZA tonefold <support@qza-tonefold.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "string-resonator VST 2.4, VST3, LV2 and CLAP audio effect")
# Debian shows the description as it is written: lines of at most 80 columns.
set(CPACK_PACKAGE_DESCRIPTION "QZA Chordwell answers a stereo signal with twelve tuned strings.
The package holds the plug-in for Linux VST 2.4 hosts, the same plug-in as a
VST3 bundle for VST3 hosts, as an LV2 bundle for LV2 hosts and as a CLAP
module for CLAP hosts, and chordwell,
a command-line host that renders audio files through it and shows its editor.")
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://qza-tonefold.com")
# The dependencies are read when cpack runs (cmake/debian/package_dependencies.cmake), not by
# CPack's own reading: that would also give the package postinst and postrm scripts calling
# ldconfig, since the plug-in lies below /usr/lib, although hosts open it and the dynamic
# linker never does.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(binaries "")
foreach(target IN LISTS CHORDWELL_PACKAGED_BINARIES)
  list(APPEND binaries "$<TARGET_FILE:${target}>")
endforeach()
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_BINARY_DIR}/package_dependencies.cmake")
file(GENERATE OUTPUT "${CPACK_PROJECT_CONFIG_FILE}"
  CONTENT "set(CHORDWELL_PACKAGED_FILES \"${binaries}\")
set(CHORDWELL_SHLIBDEPS_DIR \"${CMAKE_BINARY_DIR}/shlibdeps\")
include(\"${CMAKE_SOURCE_DIR}/cmake/debian/package_dependencies.cmake\")
")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")
include(CPack)
