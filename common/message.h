// The one narrow door through which code outside the window layer talks to
// the user: a message box with text, caption and Win32 style flags.
//
// The desktop program installs the platform's MessageBoxA, tests install a
// recorder, a command-line front end prints to standard error.
#pragma once

#include <cstdint>
#include <string>

// Win32 message-box styles and answers, with their Win32 values (the platform
// layer defines the same macros with the same tokens).
#ifndef MB_OK
#define MB_OK 0x00000000u
#endif
#ifndef MB_YESNO
#define MB_YESNO 0x00000004u
#endif
#ifndef MB_ICONHAND
#define MB_ICONHAND 0x00000010u
#endif
#ifndef MB_ICONQUESTION
#define MB_ICONQUESTION 0x00000020u
#endif
#ifndef MB_ICONEXCLAMATION
#define MB_ICONEXCLAMATION 0x00000030u
#endif
#ifndef MB_ICONASTERISK
#define MB_ICONASTERISK 0x00000040u
#endif
#ifndef MB_ICONINFORMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#endif
#ifndef MB_ICONWARNING
#define MB_ICONWARNING MB_ICONEXCLAMATION
#endif
#ifndef MB_ICONERROR
#define MB_ICONERROR MB_ICONHAND
#endif
#ifndef MB_APPLMODAL
#define MB_APPLMODAL 0x00000000u
#endif
#ifndef MB_TASKMODAL
#define MB_TASKMODAL 0x00002000u
#endif
#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDYES
#define IDYES 6
#endif
#ifndef IDNO
#define IDNO 7
#endif

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
