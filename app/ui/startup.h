// Start-up of the desktop program; WinMain itself is declared by <windows.h>.
#pragma once

#include <cstdint>

// Loads "COMCTL32.DLL" and initialises the common control classes through
// InitCommonControlsEx when the library has it, InitCommonControls otherwise.
void InitializeCommonControls();

// The program's message function: every message is a message box without owner.
int32_t ProgramMessageBox(const char* text, const char* caption, uint32_t style);
