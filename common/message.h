// The one narrow door through which code outside the window layer talks to
// the user: a message box with text, caption and Win32 style flags.
//
// The desktop program installs the platform's MessageBoxA, tests install a
// recorder, a command-line front end prints to standard error.
#pragma once

#include <cstdint>
#include <string>

// Win32 message-box styles and answers (MB_OK, MB_ICONQUESTION, IDYES ...).
#include "message_box_styles.h"

// The four program-wide captions.
inline constexpr const char* kCaptionInformation = "Information";
inline constexpr const char* kCaptionWarning = "Warning !";
inline constexpr const char* kCaptionError = "Error !";
inline constexpr const char* kCaptionQuestion = "Please confirm.";

// text, caption (nullptr: the program-wide default caption), style -> IDOK, IDYES, IDNO.
using MessageFunction = int32_t (*)(const char* text, const char* caption, uint32_t style);

// Installs the front end's message box; nullptr restores the standard-error default.
void InstallMessageFunction(MessageFunction function);
MessageFunction InstalledMessageFunction();

// Shows one message through the installed function and returns its answer.
int32_t ShowMessage(const std::string& text, const char* caption, uint32_t style);
