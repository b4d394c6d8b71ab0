// Test seam of the Win32 layer: what would block or leave the process is
// recorded and answered from a script instead.
//
//   platform_testing::Seam seam;                 // active until destroyed
//   seam.AnswerMessageBox(IDYES);                // the next box is answered Yes
//   seam.AnswerChooser("out/result");            // the next chooser "types" this
//   ... click through the widgets ...
//   EXPECT_EQ(seam.messageBoxes()[0].caption, "Please confirm.");
//
// Unscripted message boxes get their default button (what Enter would press),
// unscripted choosers are cancelled; ShellExecuteA never launches anything.
//
// A library of its own (varnel_platform_testing) that only tests link; it
// reaches the layer through the hook of src/test_hook.h.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "../src/test_hook.h"

class QAction;
class QWidget;

namespace platform_testing {

// What a message box, a file chooser or ShellExecuteA showed and answered
// (fields described in src/test_hook.h, where the layer fills them in).
using MessageBoxRecord = win32::MessageBoxRecord;
using ChooserRecord = win32::ChooserRecord;
using ShellExecuteRecord = win32::ShellExecuteRecord;

class Seam {
 public:
  Seam();
  ~Seam();
  Seam(const Seam&) = delete;
  Seam& operator=(const Seam&) = delete;

  void AnswerMessageBox(int answer);
  // The path as typed into the name field: relative to the chooser's folder
  // unless absolute; the default extension is added as the chooser would.
  void AnswerChooser(const std::string& path);
  void CancelChooser();
  // The result ShellExecuteA gives for an existing file (default 42).
  void SetShellExecuteResult(INT_PTR result);

  const std::vector<MessageBoxRecord>& messageBoxes() const { return messageBoxes_; }
  const std::vector<ChooserRecord>& choosers() const { return choosers_; }
  const std::vector<ShellExecuteRecord>& shellExecutes() const { return shellExecutes_; }
  void Clear();

  // The script as the layer's hook takes it, and what the hook records.
  int NextMessageBoxAnswer(int fallback);
  std::optional<std::string> NextChooserAnswer();
  INT_PTR shellExecuteResult() const { return shellExecuteResult_; }
  void Record(MessageBoxRecord record) { messageBoxes_.push_back(std::move(record)); }
  void Record(ChooserRecord record) { choosers_.push_back(std::move(record)); }
  void Record(ShellExecuteRecord record) { shellExecutes_.push_back(std::move(record)); }
  static Seam* Active();

 private:
  std::deque<int> messageBoxAnswers_;
  std::deque<std::optional<std::string>> chooserAnswers_;
  INT_PTR shellExecuteResult_ = 42;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::vector<ChooserRecord> choosers_;
  std::vector<ShellExecuteRecord> shellExecutes_;
  Seam* previous_;
};

// The Qt widget a user acts on for a window: the QPushButton, QRadioButton,
// QLineEdit, QComboBox or QLabel of a control, the QTabBar of a tab control,
// the top-level widget of a dialog, the QWidget of a child dialog.
QWidget* Widget(HWND window);
// The menu action that sends WM_COMMAND with this id to the window.
QAction* MenuAction(HWND window, UINT commandId);
// Delivers the posted messages now, as a running message loop would.
void DeliverPostedMessages();
// Makes LoadLibraryA fail for a module, or GetProcAddress for a procedure.
void HideLibrary(const std::string& fileName, bool hidden);
void HideProcedure(const std::string& procName, bool hidden);
// The INITCOMMONCONTROLSEX records passed so far ({0, 0} for InitCommonControls):
// since InitializeApplication, or since the seam was first used.
std::vector<std::pair<DWORD, DWORD>> CommonControlsCalls();
// The application the program's main() would create, with the seam's hook
// installed; for test mains.
void InitializeApplication();

}  // namespace platform_testing
