# Fails unless the library's dynamic symbol table defines exactly the eleven exports.
execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(found "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
  list(APPEND found ${name})
endforeach()
list(SORT found)
set(expected CONVERTLATLONTOXYZ CONVERTXYZTOLATLON LATLONTOLCC LATLONTOOST LATLONTOTM
             LCCTOLATLON LIBMAIN OSTTOLATLON STARTTOWGS84 TMTOLATLON WGS84TOTARGET)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exports are\n  ${found}\nexpected\n  ${expected}")
endif()
message(STATUS "exports: ${found}")
