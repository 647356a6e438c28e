# The tables of "brxtool export" through a real spreadsheet program,
# LibreOffice Calc without a display: opened and saved again as CSV, and
# once through .xlsx and back. Imported into an empty file, what Calc wrote
# gives the exported file byte for byte.
# cmake -DTOOL=<brxtool> -DSOFFICE=<soffice> -DSAMPLE=<json> -DWORK=<folder>
#       -P spreadsheet_round_trip.cmake

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/calc" "${WORK}/xlsx" "${WORK}/back")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err
                  TIMEOUT 120)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${ARGN}: exit code ${code}\nstdout:\n${out}\nstderr:\n${err}")
  endif()
endfunction()

# A private profile keeps this run apart from any other user of LibreOffice.
# A filter's options: separator, quote (as character codes), 76 = UTF-8,
# first line 1.
function(calc filter to outdir)
  run("${SOFFICE}" "-env:UserInstallation=file://${WORK}/profile" --headless
      "--infilter=CSV:${filter},34,76,1" --convert-to "${to}" --outdir "${outdir}" ${ARGN})
endfunction()

function(expect_import_gives what)
  file(WRITE "${WORK}/empty.json" "{\"structures\": []}\n")
  run("${TOOL}" build "${WORK}/empty.json" "${WORK}/imported.brx")
  run("${TOOL}" import "${WORK}/imported.brx" ${ARGN})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/imported.brx" "${WORK}/sample.brx"
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "${what}: the imported file differs from the exported one")
  endif()
endfunction()

set(csv_out "csv:Text - txt - csv (StarCalc):44,34,76,1")
run("${TOOL}" build "${SAMPLE}" "${WORK}/sample.brx")

# Comma-separated, saved again as CSV.
run("${TOOL}" export "${WORK}/sample.brx" "${WORK}/structures.csv" "${WORK}/tiles.csv")
calc(44 "${csv_out}" "${WORK}/calc" "${WORK}/structures.csv" "${WORK}/tiles.csv")
expect_import_gives("through Calc as CSV" "${WORK}/calc/tiles.csv" "${WORK}/calc/structures.csv")

# Tab-separated, through a workbook and back.
run("${TOOL}" export --sep tab "${WORK}/sample.brx" "${WORK}/structures.csv" "${WORK}/tiles.csv")
calc(9 xlsx "${WORK}/xlsx" "${WORK}/structures.csv" "${WORK}/tiles.csv")
run("${SOFFICE}" "-env:UserInstallation=file://${WORK}/profile" --headless --convert-to
    "${csv_out}" --outdir "${WORK}/back" "${WORK}/xlsx/structures.xlsx" "${WORK}/xlsx/tiles.xlsx")
expect_import_gives("through Calc as .xlsx" "${WORK}/back/structures.csv" "${WORK}/back/tiles.csv")

file(REMOVE_RECURSE "${WORK}")
