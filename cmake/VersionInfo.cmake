# varnel_embed_version_info(<target> PRODUCT_VERSION a.b.c.d [FILE_VERSION a.b.c.d])
#
# The program's version record, which GetFileVersionInfoA reads:
# - on Windows, the VS_VERSIONINFO resource with its fixed record and strings
#   (windows/version.rc.in), compiled by windres;
# - elsewhere, the same block's fixed part (WORD length 92, WORD value length
#   52, WORD type 0, the 16-bit key "VS_VERSION_INFO", padding to offset 40,
#   then VS_FIXEDFILEINFO with signature 0xFEEF04BD) as the contents of the ELF
#   section ".varnel_version" (platform/src/version_info.cpp.in), which the
#   platform layer finds by name in the section header table, so the record
#   survives `strip`.
function(varnel_embed_version_info target)
  cmake_parse_arguments(ARG "" "PRODUCT_VERSION;FILE_VERSION" "" ${ARGN})
  if(NOT ARG_PRODUCT_VERSION)
    message(FATAL_ERROR "varnel_embed_version_info: PRODUCT_VERSION a.b.c.d is needed")
  endif()
  if(NOT ARG_FILE_VERSION)
    set(ARG_FILE_VERSION ${ARG_PRODUCT_VERSION})
  endif()
  foreach(kind PRODUCT FILE)
    if(NOT ARG_${kind}_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
      message(FATAL_ERROR "varnel_embed_version_info: ${ARG_${kind}_VERSION} is not a.b.c.d")
    endif()
    math(EXPR VERSION_${kind}_MS "(${CMAKE_MATCH_1} << 16) | ${CMAKE_MATCH_2}"
         OUTPUT_FORMAT HEXADECIMAL)
    math(EXPR VERSION_${kind}_LS "(${CMAKE_MATCH_3} << 16) | ${CMAKE_MATCH_4}"
         OUTPUT_FORMAT HEXADECIMAL)
    string(REPLACE "." "," VERSION_${kind}_COMMAS ${ARG_${kind}_VERSION})
    set(VERSION_${kind}_TEXT ${ARG_${kind}_VERSION})
  endforeach()
  set(VERSION_TARGET ${target})
  if(WIN32)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/windows/version.rc.in ${output} @ONLY)
  else()
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_info.cpp)
    configure_file(${PROJECT_SOURCE_DIR}/platform/src/version_info.cpp.in ${output} @ONLY)
  endif()
  target_sources(${target} PRIVATE ${output})
endfunction()
