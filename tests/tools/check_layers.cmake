# Each of brxtool's rooms includes only what lies below it: the text library
# nothing of ours, the document library the model and the text library, the
# program anything. Below the entry points nothing reaches for the system's
# file system: it is handed in. Run with -DROOT=<the sources>.
set(rules
  # folder          includes it must not make, separated by commas
  "tools/text"      "model/,os/,tools/documents/,tools/brxtool/"
  "tools/documents" "os/,tools/brxtool/"
  "model"           "os/,tools/"
  "tools/brxtool/commands" "os/system_file_system.h"
  "view"            "os/system_file_system.h"
)
list(LENGTH rules length)
math(EXPR last "${length} - 1")
set(failures "")
foreach(k RANGE 0 ${last} 2)
  list(GET rules ${k} folder)
  math(EXPR next "${k} + 1")
  list(GET rules ${next} forbidden)
  string(REPLACE "," "|" forbidden_pattern "${forbidden}")
  file(GLOB_RECURSE sources ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  if(NOT sources)
    message(FATAL_ERROR "no sources in ${ROOT}/${folder}")
  endif()
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^#include \"(${forbidden_pattern})")
    foreach(line ${includes})
      file(RELATIVE_PATH name ${ROOT} ${source})
      string(APPEND failures "${name}: ${line}\n")
    endforeach()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "includes across the layers:\n${failures}")
endif()
