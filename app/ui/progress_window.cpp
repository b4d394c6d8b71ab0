#include "progress_window.h"

#include <algorithm>
#include <utility>

#include "dialog_conventions.h"
#include "dialog_template.h"
#include "message.h"

namespace {

DWORD showDelay = 500;

enum class Stage {
  kBefore,   // no progress yet: the owner is as it was
  kRunning,  // the owner is disabled, the messages are pumped
  kEnded,
};

// One run with its window. While it lives, every message of the program
// first ends the progress: the window must be gone before the run's last
// message shows, and a question asked before the lines start (overwrite?)
// does not count towards the delay.
class ProgressRun {
 public:
  explicit ProgressRun(HWND owner);
  ~ProgressRun();
  ProgressRun(const ProgressRun&) = delete;
  ProgressRun& operator=(const ProgressRun&) = delete;

  bool Report(const ListProgress& progress);
  void Cancel() { cancelled_ = true; }
  HWND window() const { return window_; }

 private:
  static int32_t MessageAfterProgress(const char* text, const char* caption, uint32_t style);
  void Open();
  void Show(int id, std::string& shown, std::string text);
  void Pump();
  void End();

  HWND owner_;
  DWORD start_;
  Stage stage_ = Stage::kBefore;
  HWND window_ = nullptr;
  bool cancelled_ = false;
  std::string linesShown_;
  std::string inputShown_;
  MessageFunction messages_;  // the front end's, put back at the end
  ProgressRun* outer_;
};

ProgressRun* activeRun = nullptr;

INT_PTR CALLBACK ProgressProcedure(HWND, UINT message, WPARAM wParam, LPARAM) {
  // "Cancel", Escape and the close command.
  const bool cancel =
      (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && IsClick(HIWORD(wParam))) ||
      message == WM_CLOSE;
  if (!cancel) return FALSE;  // WM_INITDIALOG included: the focus is given once it shows
  if (activeRun != nullptr) activeRun->Cancel();
  return TRUE;
}

void CentreOver(HWND window, HWND owner) {
  RECT outer{};
  RECT inner{};
  if (!GetWindowRect(owner, &outer) || !GetWindowRect(window, &inner)) return;
  const LONG x = (outer.left + outer.right - (inner.right - inner.left)) / 2;
  const LONG y = (outer.top + outer.bottom - (inner.bottom - inner.top)) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ProgressRun::ProgressRun(HWND owner)
    : owner_(owner),
      start_(GetTickCount()),
      messages_(InstalledMessageFunction()),
      outer_(activeRun) {
  activeRun = this;
  InstallMessageFunction(&MessageAfterProgress);
}

ProgressRun::~ProgressRun() {
  End();
  InstallMessageFunction(messages_);
  activeRun = outer_;
}

int32_t ProgressRun::MessageAfterProgress(const char* text, const char* caption, uint32_t style) {
  ProgressRun& run = *activeRun;
  run.End();
  const int32_t answer = run.messages_(text, caption, style);
  if (run.stage_ == Stage::kBefore) run.start_ = GetTickCount();
  return answer;
}

bool ProgressRun::Report(const ListProgress& progress) {
  if (stage_ == Stage::kBefore) {
    stage_ = Stage::kRunning;
    KeepFocus(owner_, FALSE);  // where the focus is, given back at the end
    EnableWindow(owner_, FALSE);
  }
  if (stage_ != Stage::kRunning) return !cancelled_;
  if (window_ == nullptr && GetTickCount() - start_ >= showDelay) Open();
  if (window_ != nullptr) {
    Show(kProgressLinesText, linesShown_, ProgressLinesText(progress.lines));
    Show(kProgressInputText, inputShown_,
         ProgressInputText(progress.bytesRead, progress.bytesTotal));
  }
  Pump();
  return !cancelled_;
}

void ProgressRun::Open() {
  constexpr DWORD kText = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
  DialogTemplate dialog(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_3DLOOK, 0, 0, 0, 160, 58,
                        kProgressCaption);
  dialog.Control(kText, 0, 10, 10, 140, 9, kProgressLinesText, "STATIC", "")
      .Control(kText, 0, 10, 22, 140, 9, kProgressInputText, "STATIC", "")
      .Control(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 55, 38, 50, 14, IDCANCEL,
               "BUTTON", "Cancel");
  window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialog.get(), owner_,
                                       &ProgressProcedure, 0);
  if (window_ == nullptr) return;
  CentreOver(window_, owner_);
  ShowWindow(window_, SW_SHOW);  // activated, the dialog gives "Cancel" the focus
}

void ProgressRun::Show(int id, std::string& shown, std::string text) {
  if (text == shown) return;
  shown = std::move(text);
  SetDlgItemTextA(window_, id, shown.c_str());
}

// Paints, input for the progress window (Cancel, Escape) and posted messages;
// the owner is disabled, so nothing reaches it.
void ProgressRun::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the program's own loop
      cancelled_ = true;
      return;
    }
    if (window_ != nullptr && IsDialogMessageA(window_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The owner is enabled before the window goes, so that the activation goes
// back to it rather than to another program.
void ProgressRun::End() {
  if (stage_ != Stage::kRunning) return;
  stage_ = Stage::kEnded;
  EnableWindow(owner_, TRUE);
  if (window_ != nullptr) DestroyWindow(window_);
  window_ = nullptr;
  KeepFocus(owner_, TRUE);
}

}  // namespace

void RunWithProgressWindow(HWND owner, const std::function<void(ListProgressFunction)>& run) {
  ProgressRun progress(owner);
  run([&progress](const ListProgress& done) { return progress.Report(done); });
}

DWORD SetProgressWindowDelay(DWORD milliseconds) {
  return std::exchange(showDelay, milliseconds);
}

HWND ProgressWindow() {
  return activeRun != nullptr ? activeRun->window() : nullptr;
}

std::string ProgressLinesText(int64_t lines) {
  const std::string digits = std::to_string(lines);
  std::string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  text += lines == 1 ? " line done" : " lines done";
  return text;
}

std::string ProgressInputText(uint64_t bytesRead, uint64_t bytesTotal) {
  if (bytesTotal == 0) return "";
  const uint64_t percent = std::min<uint64_t>(bytesRead, bytesTotal) * 100 / bytesTotal;
  return std::to_string(percent) + " % of the input read";
}
