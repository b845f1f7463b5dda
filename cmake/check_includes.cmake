# Fails when a source folder includes a header of a folder above it: the
# folders form layers, and includes point one way, downwards.
#   cmake -DSOURCE_DIR=<src> -DFOLDER=<folder> -DALLOWED=<f,...>
#         -DSTATE=ON|OFF -DSTAMP=<file> -P check_includes.cmake
# Every file below SOURCE_DIR/FOLDER is read. ALLOWED are the top-level
# folders it may include from (its own among them); with STATE it may include
# program.hpp, the program state of all subsystems.
string(REPLACE "," ";" ALLOWED "${ALLOWED}")
set(wrong "")
file(GLOB_RECURSE files ${SOURCE_DIR}/${FOLDER}/*.cpp ${SOURCE_DIR}/${FOLDER}/*.hpp)
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
    if(header MATCHES "^([^/]+)/")
      list(FIND ALLOWED "${CMAKE_MATCH_1}" at)
      if(at EQUAL -1)
        string(APPEND wrong "  src/${shown} includes ${header}\n")
      endif()
    elseif(header STREQUAL "program.hpp" AND NOT STATE)
      string(APPEND wrong "  src/${shown} includes program.hpp\n")
    endif()
  endforeach()
endforeach()
if(wrong)
  string(REPLACE ";" ", " allowed_text "${ALLOWED}")
  set(state_text "")
  if(STATE)
    set(state_text " and program.hpp")
  endif()
  message(FATAL_ERROR "Includes pointing upwards in src/${FOLDER}:\n${wrong}"
                      "src/${FOLDER} may include from ${allowed_text}${state_text} only.")
endif()
file(WRITE ${STAMP} "")
