// The help document and the About box.
#pragma once

#include <string>

// Hands "Knowing your latitude and longitude.pdf" in the current directory to
// the desktop's viewer, or warns that it is missing.
void ShowHelpDocument();

// The product version of a program file as "major.minor.build" (3.0.0.2 gives
// "3.0.2"): the two halves of the high word in upper-case hexadecimal, then
// the low word in decimal. Empty when the file has no version record.
std::string ProgramVersionText(const std::string& path);

// The text of the About box for the program file in the current directory.
std::string AboutText();

// Shows the About box.
void ShowAboutBox();
