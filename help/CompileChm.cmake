# Compiles the help project with chmcmd; run as a build step with cmake -P:
#   cmake -D CHMCMD=<chmcmd> -D PROJECT=<dir>/Ordvale.hhp -D WORK_DIR=<dir>
#         -D OUTPUT=<dir>/Ordvale.chm -P CompileChm.cmake
# chmcmd reads the pages relative to the project file and writes the file
# named by "Compiled file=" into its working directory (WORK_DIR); the result
# is then moved to OUTPUT. Silent when all is well. chmcmd answers 0 even when
# it cannot find the project or a page, so its report is read too: any error,
# warning or crash, or no file written, fails the step and shows the report.

foreach(var CHMCMD PROJECT WORK_DIR OUTPUT)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "CompileChm.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${PROJECT}")
  message(FATAL_ERROR "CompileChm.cmake: no project file ${PROJECT}")
endif()

get_filename_component(project_dir "${PROJECT}" DIRECTORY)
file(STRINGS "${PROJECT}" compiled_line REGEX "^[Cc]ompiled file=")
string(REGEX REPLACE "^[Cc]ompiled file=" "" compiled "${compiled_line}")
string(STRIP "${compiled}" compiled)
if(compiled STREQUAL "" OR IS_ABSOLUTE "${compiled}")
  message(FATAL_ERROR "CompileChm.cmake: ${PROJECT} needs a relative \"Compiled file=\" line")
endif()
set(result "${WORK_DIR}/${compiled}")

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(
  COMMAND "${CHMCMD}" "${PROJECT}"
  WORKING_DIRECTORY "${WORK_DIR}"
  RESULT_VARIABLE exit_code
  OUTPUT_VARIABLE report_out
  ERROR_VARIABLE report_err)
set(report "${report_out}${report_err}")

set(problems "")
set(shown "")
set(anchors_checked 0)
if(NOT exit_code STREQUAL "0")
  string(APPEND problems "  chmcmd ended with ${exit_code}\n")
endif()

# One list item a line; semicolons would split items, so they become commas.
string(REPLACE "\r" "" text "${report}")
string(REPLACE ";" "," text "${text}")
string(REGEX MATCHALL "[^\n]+" lines "${text}")
foreach(line IN LISTS lines)
  if(line MATCHES "^Error: Anchor ([^#]+)#([^ ]+) undefined, first use")
    # chmcmd 3.2.2 records the anchors a page defines under the page's bare
    # name but looks up references with the page's folder, so it calls every
    # anchor of a page in html/ undefined. Check those anchors here instead.
    set(page "${project_dir}/${CMAKE_MATCH_1}")
    set(anchor "${CMAKE_MATCH_2}")
    set(found -1)
    if(EXISTS "${page}" AND NOT IS_DIRECTORY "${page}")
      file(READ "${page}" html)
      string(FIND "${html}" "name=\"${anchor}\"" found)
      if(found EQUAL -1)
        string(FIND "${html}" "id=\"${anchor}\"" found)
      endif()
    endif()
    if(found EQUAL -1)
      string(APPEND problems "  ${line}\n")
    else()
      math(EXPR anchors_checked "${anchors_checked} + 1")
      continue()
    endif()
  elseif(line MATCHES "^(Error|Warning)" OR line MATCHES "[Ee]xception|[Cc]an't find|[Ff]ailed")
    string(APPEND problems "  ${line}\n")
  endif()
  string(APPEND shown "  ${line}\n")
endforeach()

if(problems STREQUAL "" AND NOT EXISTS "${result}")
  string(APPEND problems "  chmcmd wrote no ${compiled}\n")
endif()
if(NOT problems STREQUAL "")
  file(REMOVE "${result}" "${OUTPUT}")
  message(FATAL_ERROR "Compiling ${PROJECT} failed:\n${problems}"
                      "chmcmd's report (without ${anchors_checked} anchor reports checked here):\n"
                      "${shown}")
endif()

get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_dir}")
file(REMOVE "${OUTPUT}")
file(RENAME "${result}" "${OUTPUT}")
