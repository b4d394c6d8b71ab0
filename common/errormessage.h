// The program's run-time error message routine and its error-number variable.
#pragma once

#include <cstdint>

#include "errortrap.h"

// Shows "DLL/subroutine error <n> in <routine><description>" with OK only, no
// icon and no caption of its own. Exported from the program under this name.
extern "C" void ERRORMESSAGE(const char* routine, int32_t number);

// The number of the program's last trap that ran; one for all its routines.
extern int32_t programErrorNumber;

// The trap of a program routine: reports through ERRORMESSAGE into programErrorNumber.
class ProgramErrorTrap : public ErrorTrap {
 public:
  explicit ProgramErrorTrap(const char* routine) noexcept
      : ErrorTrap(routine, programErrorNumber, &ERRORMESSAGE) {}
};
