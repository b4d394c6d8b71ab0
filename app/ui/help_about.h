// The help document and the About box.
#pragma once

#include <string>

// The program's own folder: the current directory when the program started.
// The help document and the program file are looked for there, whatever
// folder a file chooser has made current since. Until remembered, the
// current directory.
void RememberProgramFolder();
std::string ProgramFolder();

// Hands "Knowing your latitude and longitude.pdf" to the desktop's viewer, or
// says that it is missing or that no viewer could open it. The document is
// looked for beside the catalogues, in the program's folder when they came
// from there.
void ShowHelpDocument();
std::string HelpDocumentPath();

inline constexpr const char* kNoViewerMessage = "No program could be started to open ";

// The product version of a program file as "major.minor.build" (3.0.0.2 gives
// "3.0.2"): the two halves of the high word in upper-case hexadecimal, then
// the low word in decimal. Empty when the file has no version record.
std::string ProgramVersionText(const std::string& path);

// The text of the About box for the program file in the program's folder.
std::string AboutText();

// Shows the About box.
void ShowAboutBox();
