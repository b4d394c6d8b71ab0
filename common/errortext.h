// Text of the run-time error message: shared by the program's ERRORMESSAGE and
// the library's own copy, which differ only in their prefix.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kProgramErrorPrefix = "DLL/subroutine error";
inline constexpr std::string_view kLibraryErrorPrefix = "DLL error";

// The fixed description of a run-time error number, starting with ": ".
const char* ErrorDescription(int32_t number);

// prefix, the number after a blank (or its minus sign), " in ", routine, description.
std::string ErrorMessageText(std::string_view prefix, std::string_view routine, int32_t number);
