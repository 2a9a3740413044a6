# Builds Ormena's word-processor client against the LibreOffice SDK: finds the
# SDK and the office's type libraries, generates the C++ UNO headers into the
# build tree at build time, and gives ormena_core the includes, definitions and
# libraries it needs. The headers stay private to ormena_core.

set(LIBREOFFICE_SDK_DIR "" CACHE PATH "LibreOffice SDK folder (holds bin/cppumaker, include, lib)")
set(LIBREOFFICE_PROGRAM_DIR "" CACHE PATH "LibreOffice program folder (holds soffice.bin and types.rdb)")

set(_lo_sdk_hints ${LIBREOFFICE_SDK_DIR} $ENV{OO_SDK_HOME} /usr/lib/libreoffice/sdk /opt/libreoffice/sdk)

find_program(LIBREOFFICE_CPPUMAKER cppumaker
  HINTS ${_lo_sdk_hints} PATH_SUFFIXES bin NO_DEFAULT_PATH)
find_path(LIBREOFFICE_INCLUDE_DIR sal/config.h
  HINTS ${_lo_sdk_hints} /usr/include/libreoffice PATH_SUFFIXES include)
foreach(_lo_lib uno_cppu uno_cppuhelpergcc3 uno_sal)
  find_library(LIBREOFFICE_LIB_${_lo_lib} ${_lo_lib} HINTS ${_lo_sdk_hints} PATH_SUFFIXES lib)
endforeach()

if(NOT LIBREOFFICE_PROGRAM_DIR AND LIBREOFFICE_CPPUMAKER)
  # The SDK lives beside the office: <office>/sdk/bin/cppumaker and <office>/program.
  get_filename_component(_lo_sdk_root "${LIBREOFFICE_CPPUMAKER}" DIRECTORY)
  get_filename_component(_lo_office_root "${_lo_sdk_root}/../.." ABSOLUTE)
  if(EXISTS "${_lo_office_root}/program/types.rdb")
    set(LIBREOFFICE_PROGRAM_DIR "${_lo_office_root}/program" CACHE PATH "" FORCE)
  endif()
endif()
set(LIBREOFFICE_TYPES_RDB "${LIBREOFFICE_PROGRAM_DIR}/types.rdb")
set(LIBREOFFICE_OFFAPI_RDB "${LIBREOFFICE_PROGRAM_DIR}/types/offapi.rdb")

set(_lo_missing "")
foreach(_lo_var LIBREOFFICE_CPPUMAKER LIBREOFFICE_INCLUDE_DIR LIBREOFFICE_LIB_uno_cppu
    LIBREOFFICE_LIB_uno_cppuhelpergcc3 LIBREOFFICE_LIB_uno_sal)
  if(NOT ${_lo_var})
    list(APPEND _lo_missing ${_lo_var})
  endif()
endforeach()
foreach(_lo_file "${LIBREOFFICE_TYPES_RDB}" "${LIBREOFFICE_OFFAPI_RDB}")
  if(NOT EXISTS "${_lo_file}")
    list(APPEND _lo_missing "${_lo_file}")
  endif()
endforeach()
if(_lo_missing)
  message(FATAL_ERROR "LibreOffice SDK not found (missing: ${_lo_missing}). "
    "Run scripts/install-deps.sh (libreoffice-writer, libreoffice-dev) or set "
    "LIBREOFFICE_SDK_DIR and LIBREOFFICE_PROGRAM_DIR.")
endif()
message(STATUS "LibreOffice SDK: ${LIBREOFFICE_CPPUMAKER}; office: ${LIBREOFFICE_PROGRAM_DIR}")

# All UNO types of the office, regenerated when the office's type libraries change.
# -Gc rewrites only headers whose content changed, so a rerun recompiles nothing.
set(LIBREOFFICE_UNO_HEADER_DIR "${CMAKE_BINARY_DIR}/uno_headers")
set(_lo_stamp "${LIBREOFFICE_UNO_HEADER_DIR}/.generated")
add_custom_command(OUTPUT "${_lo_stamp}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${LIBREOFFICE_UNO_HEADER_DIR}"
  COMMAND "${LIBREOFFICE_CPPUMAKER}" -Gc "-O${LIBREOFFICE_UNO_HEADER_DIR}"
          "${LIBREOFFICE_TYPES_RDB}" "${LIBREOFFICE_OFFAPI_RDB}"
  COMMAND ${CMAKE_COMMAND} -E touch "${_lo_stamp}"
  DEPENDS "${LIBREOFFICE_TYPES_RDB}" "${LIBREOFFICE_OFFAPI_RDB}"
  COMMENT "Generating LibreOffice UNO headers"
  VERBATIM)
add_custom_target(ormena_uno_headers DEPENDS "${_lo_stamp}")
add_dependencies(ormena_core ormena_uno_headers)

# SYSTEM keeps the SDK's own warnings out of the -Wall -Wextra build.
target_include_directories(ormena_core SYSTEM PRIVATE
  "${LIBREOFFICE_UNO_HEADER_DIR}" "${LIBREOFFICE_INCLUDE_DIR}")
target_compile_definitions(ormena_core PRIVATE LINUX UNX CPPU_ENV=gcc3
  ORMENA_LIBREOFFICE_PROGRAM_DIR="${LIBREOFFICE_PROGRAM_DIR}")
target_link_libraries(ormena_core PRIVATE
  "${LIBREOFFICE_LIB_uno_cppu}" "${LIBREOFFICE_LIB_uno_cppuhelpergcc3}" "${LIBREOFFICE_LIB_uno_sal}")
# The UNO libraries load their private companions (libreglo, libunoidllo, the
# C++ bridge) from the office's program folder.
target_link_options(ormena_core INTERFACE
  "LINKER:-rpath,${LIBREOFFICE_PROGRAM_DIR}" "LINKER:-rpath-link,${LIBREOFFICE_PROGRAM_DIR}")
