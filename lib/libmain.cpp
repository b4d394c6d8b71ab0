// Library entry: PI, LIBMAIN, the load and unload notifications, the
// floating-point mode, and the library's copy of the error message routine.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdio>

#include "errortext.h"
#include "floating_point_mode.h"
#include "internal.h"
#include "ostrak32.h"

namespace ostrak {

namespace {

using MessageBoxFunction = int (*)(void*, const char*, const char*, unsigned);

// The process's message box, or nullptr; the library links against none.
#ifdef _WIN32
// The program's own export first (a test program provides one), then user32's
// when the process has loaded it: a console program without windows has none.
MessageBoxFunction ProcessMessageBox() {
  for (const char* module : {static_cast<const char*>(nullptr), "user32.dll"}) {
    const HMODULE loaded = GetModuleHandleA(module);
    if (loaded == nullptr) continue;
    if (const FARPROC found = GetProcAddress(loaded, "MessageBoxA")) {
      return reinterpret_cast<MessageBoxFunction>(reinterpret_cast<void*>(found));
    }
  }
  return nullptr;
}
#else
MessageBoxFunction ProcessMessageBox() {
  return reinterpret_cast<MessageBoxFunction>(dlsym(RTLD_DEFAULT, "MessageBoxA"));
}
#endif

}  // namespace

Real PI = 3.14159265358979L;
constinit thread_local int32_t libraryErrorNumber = 0;

void ERRORMESSAGE(const char* routine, int32_t number) {
  const std::string text = ErrorMessageText(kLibraryErrorPrefix, routine ? routine : "", number);
  const MessageBoxFunction messageBox = ProcessMessageBox();
  if (messageBox != nullptr) {
    messageBox(nullptr, text.c_str(), nullptr, 0 /* MB_OK */);
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

#ifndef _WIN32
namespace {

constexpr int32_t kDllProcessAttach = 1;
constexpr int32_t kDllProcessDetach = 0;

__attribute__((constructor)) void OnLoad() {
  SetComputingFloatingPointMode();
  LIBMAIN(nullptr, kDllProcessAttach, nullptr);
}

__attribute__((destructor)) void OnUnload() {
  LIBMAIN(nullptr, kDllProcessDetach, nullptr);
}

}  // namespace
#endif
}  // namespace ostrak

#ifdef _WIN32
// The DLL's entry point passes every notification on to LIBMAIN; loading
// sets the floating-point mode of the loading thread.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) SetComputingFloatingPointMode();
  return LIBMAIN(instance, static_cast<int32_t>(reason), reserved);
}
#endif

extern "C" int32_t LIBMAIN(void* /*instance*/, int32_t /*reason*/, void* /*reserved*/) {
  // Written only when it differs, so that a notification on one thread never
  // writes while another thread's projection reads it.
  constexpr ostrak::Real kPi = 3.14159265358979L;
  if (ostrak::PI != kPi) ostrak::PI = kPi;
  return 1;
}
