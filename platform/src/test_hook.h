// The one door through which tests reach into the layer.
//
// The program never installs a hook: then every call does what Windows does.
// The test seam (platform/testing/, a library of its own that only tests
// link) installs one, so that what would block the process or reach outside
// it (message boxes, file choosers, ShellExecuteA) is answered and recorded
// instead, and so that the library table can be made to fail.
//
// No Qt here: the records are what the calls showed, in Win32 terms.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "../windows.h"

namespace win32 {

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

class TestHook {
 public:
  virtual ~TestHook() = default;

  // While this holds, message boxes, file choosers and ShellExecuteA ask the
  // hook instead of the user or the desktop, and report to it what they did.
  virtual bool Answering() const = 0;
  // The button that answers the next box; `fallback` is its default button.
  virtual int NextMessageBoxAnswer(int fallback) = 0;
  // The path typed into the next chooser; nothing cancels it.
  virtual std::optional<std::string> NextChooserAnswer() = 0;
  // What ShellExecuteA returns for a file that exists.
  virtual INT_PTR ShellExecuteResult() const = 0;
  virtual void Record(MessageBoxRecord record) = 0;
  virtual void Record(ChooserRecord record) = 0;
  virtual void Record(ShellExecuteRecord record) = 0;

  // Whatever Answering() says: LoadLibraryA does not find a hidden module
  // (its file name, upper case, without folder), GetProcAddress a hidden
  // procedure.
  virtual bool LibraryHidden(const std::string& upperCaseName) const = 0;
  virtual bool ProcedureHidden(const std::string& name) const = 0;
  // InitCommonControls (as {0, 0}) and InitCommonControlsEx (its record).
  virtual void CommonControlsInitialized(DWORD size, DWORD classes) = 0;
};

// nullptr removes the hook.
void InstallTestHook(TestHook* hook);
TestHook* InstalledTestHook();
// The installed hook while it is Answering(), otherwise nullptr.
TestHook* AnsweringHook();

}  // namespace win32
