# Fails unless the Windows binary imports from the system's own DLLs only, so that it runs on
# a machine that has no compiler runtime DLLs (libstdc++, libgcc, winpthreads):
#   cmake -DOBJDUMP=<objdump for the target> -DBINARY=<exe or dll> -P check_system_imports.cmake
cmake_minimum_required(VERSION 3.25)
set(system_dlls advapi32 comctl32 comdlg32 gdi32 gdiplus kernel32 msvcrt ole32 oleaut32 shell32 shlwapi user32 version)

execute_process(COMMAND ${OBJDUMP} -p ${BINARY} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${BINARY}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(names "")
foreach(import ${imports})
  string(REGEX REPLACE "^DLL Name: ([^ ]+)\\.[dD][lL][lL].*$" "\\1" name "${import}")
  string(TOLOWER "${name}" name)
  list(APPEND names ${name})
  if(NOT name IN_LIST system_dlls)
    message(FATAL_ERROR "${BINARY} imports ${import}")
  endif()
endforeach()
message(STATUS "imports: ${names}")
