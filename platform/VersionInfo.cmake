# varnel_embed_version_info(<target> PRODUCT_VERSION a.b.c.d [FILE_VERSION a.b.c.d])
#
# Embeds a version record in an executable the way GetFileVersionInfoA reads
# it back: a Windows VS_VERSIONINFO block (WORD length 92, WORD value length
# 52, WORD type 0, the 16-bit key "VS_VERSION_INFO", padding to offset 40,
# then VS_FIXEDFILEINFO with signature 0xFEEF04BD) as the contents of the ELF
# section ".varnel_version". The reader finds the section by name in the
# section header table, so the record survives `strip`.
set(VARNEL_VERSION_INFO_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/src/version_info.cpp.in
    CACHE INTERNAL "Template of the embedded version record")

function(varnel_embed_version_info target)
  cmake_parse_arguments(ARG "" "PRODUCT_VERSION;FILE_VERSION" "" ${ARGN})
  if(NOT ARG_PRODUCT_VERSION)
    message(FATAL_ERROR "varnel_embed_version_info: PRODUCT_VERSION a.b.c.d is needed")
  endif()
  if(NOT ARG_FILE_VERSION)
    set(ARG_FILE_VERSION ${ARG_PRODUCT_VERSION})
  endif()
  foreach(kind PRODUCT FILE)
    string(REPLACE "." ";" parts "${ARG_${kind}_VERSION}")
    list(LENGTH parts count)
    if(NOT count EQUAL 4)
      message(FATAL_ERROR "varnel_embed_version_info: ${ARG_${kind}_VERSION} is not a.b.c.d")
    endif()
    list(GET parts 0 major)
    list(GET parts 1 minor)
    list(GET parts 2 build)
    list(GET parts 3 revision)
    math(EXPR VERSION_${kind}_MS "(${major} << 16) | ${minor}" OUTPUT_FORMAT HEXADECIMAL)
    math(EXPR VERSION_${kind}_LS "(${build} << 16) | ${revision}" OUTPUT_FORMAT HEXADECIMAL)
  endforeach()
  set(VERSION_TARGET ${target})
  set(VERSION_TEXT ${ARG_PRODUCT_VERSION})
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_info.cpp)
  configure_file(${VARNEL_VERSION_INFO_TEMPLATE} ${output} @ONLY)
  target_sources(${target} PRIVATE ${output})
endfunction()
