// Library entry: PI, LIBMAIN, the load and unload notifications, the
// floating-point mode, and the library's copy of the error message routine.
#include <dlfcn.h>

#include <cstdio>

#include "errortext.h"
#include "floating_point_mode.h"
#include "internal.h"
#include "ostrak32.h"

namespace ostrak {

Real PI = 3.14159265358979L;
constinit thread_local int32_t libraryErrorNumber = 0;

void ERRORMESSAGE(const char* routine, int32_t number) {
  const std::string text = ErrorMessageText(kLibraryErrorPrefix, routine ? routine : "", number);
  // The process's message box when it has one; the library links against none.
  using MessageBoxFunction = int (*)(void*, const char*, const char*, unsigned);
  auto* messageBox = reinterpret_cast<MessageBoxFunction>(dlsym(RTLD_DEFAULT, "MessageBoxA"));
  if (messageBox != nullptr) {
    messageBox(nullptr, text.c_str(), nullptr, 0 /* MB_OK */);
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

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
}  // namespace ostrak

extern "C" int32_t LIBMAIN(void* /*instance*/, int32_t /*reason*/, void* /*reserved*/) {
  // Written only when it differs, so that a notification on one thread never
  // writes while another thread's projection reads it.
  constexpr ostrak::Real kPi = 3.14159265358979L;
  if (ostrak::PI != kPi) ostrak::PI = kPi;
  return 1;
}
