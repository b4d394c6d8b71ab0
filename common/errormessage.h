// The program's run-time error message routine and its error-number variable.
#pragma once

#include <cstdint>

#include "errortrap.h"

// Shows "DLL/subroutine error <n> in <routine><description>" with OK only, no
// icon and no caption of its own. Exported from the program under this name.
extern "C" void ERRORMESSAGE(const char* routine, int32_t number);

// The number of the program's last trap that ran on this thread; one for all
// its routines. Per thread, because the list engine's workers run trapped
// routines (number and DMS text) at the same time as the window's thread.
extern thread_local int32_t programErrorNumber;

// The trap of a program routine: reports through ERRORMESSAGE into programErrorNumber.
class ProgramErrorTrap : public ErrorTrap {
 public:
  explicit ProgramErrorTrap(const char* routine) noexcept
      : ErrorTrap(routine, programErrorNumber, &ERRORMESSAGE) {}
};
