// What the window remembers between runs: each side's systems, length unit,
// angle format and list-file names, in Varnel3.ini in the user's configuration
// folder. A missing or damaged file, or a name the catalogues no longer hold,
// leaves that setting at its start value without a word.
#pragma once

#include <windows.h>

#include <string>

// $XDG_CONFIG_HOME/varnel/Varnel3.ini (~/.config when XDG_CONFIG_HOME is unset,
// empty or not absolute); on Windows %APPDATA%\varnel\Varnel3.ini. "" when
// no folder can be formed.
std::string SettingsFile();

// Brings the settings back once the window has its pages, through the same
// choices a user makes.
void RestoreSettings(HWND main);
// Writes the settings; the folder is made when needed.
void SaveSettings(HWND main);
