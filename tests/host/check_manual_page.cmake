# Fails unless the manual page tells of everything that `chordwell --help` shows: every
# command, every option (and no option that --help does not know), every example and every
# exit status.
#   cmake -DCHORDWELL=<program> -DPAGE=<chordwell.1> -P check_manual_page.cmake
cmake_policy(SET CMP0057 NEW)  # if(... IN_LIST ...)
execute_process(COMMAND "${CHORDWELL}" --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "chordwell --help failed")
endif()
file(READ "${PAGE}" roff)
# The page as its reader sees the words: roff's minus signs as hyphens, no font changes.
string(REPLACE "\\-" "-" page "${roff}")
string(REGEX REPLACE "\\\\f[BIRP]" "" page "${page}")
set(missing "")

# The commands, as the usage lines name them.
string(REGEX MATCHALL "\n  chordwell [a-z]+( show)?" commands "${help}")
# The options, both ways.
string(REGEX MATCHALL "--?[a-z][a-z-]*" helpOptions "${help}")
string(REGEX MATCHALL "--?[a-z][a-z-]*" pageOptions "${page}")
list(REMOVE_DUPLICATES helpOptions)
list(REMOVE_DUPLICATES pageOptions)
list(FILTER helpOptions INCLUDE REGEX "^(--|-h$)")
list(FILTER pageOptions INCLUDE REGEX "^(--|-h$)")
# The examples: the lines under "examples:".
string(REGEX MATCH "\nexamples:\n(( +[^\n]+\n)+)" found "${help}")
string(REGEX MATCHALL "[^\n]+" examples "${CMAKE_MATCH_1}")
list(TRANSFORM examples STRIP)
foreach(text IN LISTS commands helpOptions examples)
  string(STRIP "${text}" text)
  string(FIND "${page}" "${text}" at)
  if(at EQUAL -1)
    list(APPEND missing "${text}")
  endif()
endforeach()
foreach(option IN LISTS pageOptions)
  if(NOT option IN_LIST helpOptions)
    list(APPEND missing "(--help lacks) ${option}")
  endif()
endforeach()

# The exit statuses: the numbers under "exit status:", and the page's EXIT STATUS section.
string(REGEX MATCH "\nexit status:\n(( +[^\n]+\n)+)" found "${help}")
string(REGEX MATCHALL "\n  [0-9]+ " helpStatuses "\n${CMAKE_MATCH_1}")
list(TRANSFORM helpStatuses STRIP)
string(FIND "${roff}" ".SH EXIT STATUS\n" start)
string(SUBSTRING "${roff}" ${start} -1 section)
string(FIND "${section}" "\n.SH " end)
string(SUBSTRING "${section}" 0 ${end} section)
string(REGEX MATCHALL "\n\\.B [0-9]+\n" pageStatuses "${section}")
list(TRANSFORM pageStatuses REPLACE "[^0-9]" "")
if(start EQUAL -1 OR NOT helpStatuses OR NOT helpStatuses STREQUAL pageStatuses)
  list(JOIN helpStatuses " " helpList)
  list(JOIN pageStatuses " " pageList)
  list(APPEND missing "exit statuses: --help has ${helpList}, the page ${pageList}")
endif()

if(NOT commands OR NOT examples OR missing)
  list(JOIN missing "\n  " text)
  message(FATAL_ERROR "the manual page and --help differ:\n  ${text}")
endif()
