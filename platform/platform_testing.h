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
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "windows.h"

class QAction;
class QWidget;

namespace platform_testing {

struct MessageBoxRecord {
  HWND owner;
  std::string text;
  std::string caption;  // as shown: "Varnel" when the call passed none
  bool defaultCaption;  // the call passed no caption
  UINT style;
  // What the box was built with: "information", "warning", "critical",
  // "question" or "none"; its buttons as IDOK, IDYES ...; "application" for a
  // box that blocks every window, "window" for one that blocks its owner,
  // "none" for one that blocks no window.
  std::string icon;
  std::vector<int> buttons;
  std::string modality;
  int answer;
};

struct ChooserRecord {
  bool save;
  HWND chooser;  // the chooser window, valid while the call runs
  HWND owner;    // GetParent of the chooser
  std::string title;
  std::string initialDir;
  std::string initialName;           // the name field as the chooser showed it
  std::vector<std::string> filters;  // "description|patterns" per filter entry
  DWORD flags;
  std::string defaultExt;
  RECT rectAfterHook;  // the chooser's window rectangle once the hook had run
  bool hookCalled;     // the hook received WM_NOTIFY CDN_INITDONE
  BOOL result;
};

struct ShellExecuteRecord {
  HWND owner;
  std::string operation;  // empty for the default verb
  std::string file;       // as passed, quotes included
  std::string path;       // the file the viewer would have been given
  std::string parameters;
  std::string directory;
  int show;
  INT_PTR result;
};

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

  // Used by the layer.
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
// The INITCOMMONCONTROLSEX records passed so far ({0, 0} for InitCommonControls).
std::vector<std::pair<DWORD, DWORD>> CommonControlsCalls();
// The application the program's main() would create; for test mains.
void InitializeApplication();

}  // namespace platform_testing
