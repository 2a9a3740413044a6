# Converts the sample template sources (flat ODF) into the formats their file
# names ask for, with LibreOffice headless under a private profile, so that a
# running office of the user is neither used nor disturbed.
#   cmake -DSOFFICE=... -DSOURCES=a.fodt|b.fodt -DFILES=a.docx|b.rtf
#         -DOUTPUT_DIR=... -DWORK_DIR=... -P convert_templates.cmake

string(REPLACE "|" ";" SOURCES "${SOURCES}")
string(REPLACE "|" ";" FILES "${FILES}")
set(_filter_doc "MS Word 97")
set(_filter_docx "MS Word 2007 XML")
set(_filter_rtf "Rich Text Format")
set(_filter_odt "writer8")

file(MAKE_DIRECTORY "${OUTPUT_DIR}")
file(REMOVE_RECURSE "${WORK_DIR}/out")
set(_profile "file://${WORK_DIR}/profile")

# One office run per target format.
set(_formats "")
list(LENGTH SOURCES _count)
math(EXPR _last "${_count} - 1")
foreach(_i RANGE ${_last})
  list(GET FILES ${_i} _file)
  get_filename_component(_ext "${_file}" LAST_EXT)
  string(SUBSTRING "${_ext}" 1 -1 _ext)
  string(TOLOWER "${_ext}" _ext)
  if(NOT DEFINED _filter_${_ext})
    message(FATAL_ERROR "Sample template ${_file}: no conversion to .${_ext} (doc, docx, rtf, odt)")
  endif()
  list(GET SOURCES ${_i} _source)
  list(APPEND _sources_${_ext} "${_source}")
  list(APPEND _formats ${_ext})
endforeach()
list(REMOVE_DUPLICATES _formats)

foreach(_ext ${_formats})
  execute_process(
    COMMAND "${SOFFICE}" "-env:UserInstallation=${_profile}" --headless --norestore
            --convert-to "${_ext}:${_filter_${_ext}}" --outdir "${WORK_DIR}/out" ${_sources_${_ext}}
    RESULT_VARIABLE _result
    OUTPUT_VARIABLE _output
    ERROR_VARIABLE _output
    TIMEOUT 300)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "LibreOffice could not convert the sample templates to .${_ext} (${_result}):\n${_output}")
  endif()
endforeach()

foreach(_i RANGE ${_last})
  list(GET FILES ${_i} _file)
  if(NOT EXISTS "${WORK_DIR}/out/${_file}")
    message(FATAL_ERROR "LibreOffice did not produce ${_file}:\n${_output}")
  endif()
  file(COPY_FILE "${WORK_DIR}/out/${_file}" "${OUTPUT_DIR}/${_file}")
endforeach()
