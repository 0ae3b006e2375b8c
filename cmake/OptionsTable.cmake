# The engine's command-line options have one source, a Markdown table
# (docs/man/engine-options.md: | `option` | effect |). This script turns it
# into what the programs and the manual pages need.
#
#   cmake -DTABLE=<table.md> -DMODE=cxx -DOUT=<file.inc> -P OptionsTable.cmake
#       C++ rows { "option", "effect" } for the --help text
#   cmake -DTABLE=<table.md> -DMODE=check -DREADME=<README.md> -P OptionsTable.cmake
#       fails unless the README holds the table verbatim between its
#       "<!-- engine options -->" and "<!-- end of engine options -->" lines
#   ... -DMODE=update -DREADME=<README.md>: writes the table into the README

cmake_minimum_required(VERSION 3.25)
file(READ ${TABLE} table)

if(MODE STREQUAL "cxx")
  file(STRINGS ${TABLE} rows)
  set(out "// Made from ${TABLE}: edit that file, not this one.\n")
  foreach(row ${rows})
    if(NOT row MATCHES "^\\| `")
      continue()  # the heading and the rule
    endif()
    string(REGEX REPLACE "^\\| (.*) \\| (.*) \\|$" "\\1" option "${row}")
    string(REGEX REPLACE "^\\| (.*) \\| (.*) \\|$" "\\2" effect "${row}")
    foreach(part option effect)
      string(REPLACE "`" "" ${part} "${${part}}")
      string(REPLACE "\\" "\\\\" ${part} "${${part}}")
      string(REPLACE "\"" "\\\"" ${part} "${${part}}")
    endforeach()
    string(APPEND out "{\"${option}\", \"${effect}\"},\n")
  endforeach()
  file(WRITE ${OUT}.tmp "${out}")
  file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
  file(REMOVE ${OUT}.tmp)
  return()
endif()

set(begin "<!-- engine options -->\n")
set(end "<!-- end of engine options -->\n")
file(READ ${README} readme)
string(FIND "${readme}" "${begin}" first)
string(FIND "${readme}" "${end}" last)
if(first LESS 0 OR last LESS first)
  message(FATAL_ERROR "${README} has no \"<!-- engine options -->\" ... \"<!-- end of engine options -->\" block")
endif()
string(LENGTH "${begin}" begin_length)
math(EXPR start "${first} + ${begin_length}")
math(EXPR length "${last} - ${start}")
string(SUBSTRING "${readme}" ${start} ${length} shown)
if(MODE STREQUAL "check")
  if(NOT shown STREQUAL table)
    message(FATAL_ERROR "The options table in ${README} differs from ${TABLE}; run\n"
                        "  cmake -DTABLE=${TABLE} -DMODE=update -DREADME=${README} -P ${CMAKE_CURRENT_LIST_FILE}")
  endif()
  message(STATUS "The README's options table is ${TABLE}")
elseif(MODE STREQUAL "update")
  string(SUBSTRING "${readme}" 0 ${start} head)
  string(SUBSTRING "${readme}" ${last} -1 tail)
  file(WRITE ${README} "${head}${table}${tail}")
endif()
