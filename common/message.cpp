#include "message.h"

#include <cstdio>

namespace {

// Without a front end: the message goes to standard error, and a question is
// answered No, so that nothing is overwritten unasked.
int32_t StandardErrorMessage(const char* text, const char* caption, uint32_t style) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "Varnel", text);
  return (style & 0xFu) == MB_YESNO ? IDNO : IDOK;
}

MessageFunction installed = &StandardErrorMessage;

}  // namespace

void InstallMessageFunction(MessageFunction function) {
  installed = function ? function : &StandardErrorMessage;
}

MessageFunction InstalledMessageFunction() {
  return installed;
}

int32_t ShowMessage(const std::string& text, const char* caption, uint32_t style) {
  return installed(text.c_str(), caption, style);
}
