#include "message.h"

#include "captured_messages.h"

#include <cstdio>

namespace {

// Without a front end: the message goes to standard error, and a question is
// answered No, so that nothing is overwritten unasked.
int32_t StandardErrorMessage(const char* text, const char* caption, uint32_t style) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "Varnel", text);
  return (style & 0xFu) == MB_YESNO ? IDNO : IDOK;
}

MessageFunction installed = &StandardErrorMessage;
thread_local MessageCapture* capture = nullptr;

}  // namespace

void InstallMessageFunction(MessageFunction function) {
  installed = function ? function : &StandardErrorMessage;
}

MessageFunction InstalledMessageFunction() {
  return installed;
}

MessageCapture::MessageCapture() : previous_(capture) {
  capture = this;
}

MessageCapture::~MessageCapture() {
  capture = previous_;
}

int32_t ShowMessage(const std::string& text, const char* caption, uint32_t style) {
  if (capture != nullptr) {
    capture->messages().push_back({text, caption, style});
    return (style & 0xFu) == MB_YESNO ? IDNO : IDOK;
  }
  return installed(text.c_str(), caption, style);
}
