# Read by cpack before it packs: the Debian package's Depends, as dpkg-shlibdeps finds them in
# the shared libraries that the packaged binaries (CHORDWELL_PACKAGED_FILES) link. Its
# working folder is CHORDWELL_SHLIBDEPS_DIR.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

find_program(CHORDWELL_SHLIBDEPS dpkg-shlibdeps REQUIRED)
# dpkg-shlibdeps reads its package's control file from ./debian.
file(MAKE_DIRECTORY "${CHORDWELL_SHLIBDEPS_DIR}/debian")
file(WRITE "${CHORDWELL_SHLIBDEPS_DIR}/debian/control" "")
set(arguments "")
foreach(binary IN LISTS CHORDWELL_PACKAGED_FILES)
  list(APPEND arguments "-e${binary}")
endforeach()
execute_process(COMMAND "${CHORDWELL_SHLIBDEPS}" -O ${arguments}
  WORKING_DIRECTORY "${CHORDWELL_SHLIBDEPS_DIR}"
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT output MATCHES "shlibs:Depends=([^\n]*)")
  message(FATAL_ERROR "dpkg-shlibdeps could not tell the package's dependencies: ${errors}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
