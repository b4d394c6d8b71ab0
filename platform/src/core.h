// The layer's window records: what Windows keeps per HWND, and the Qt widget
// that stands for it.
#pragma once

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "../../common/native_path.h"
#include "../commctrl.h"
#include "../windows.h"

class QEventLoop;
class QKeyEvent;
class QMenuBar;

namespace win32 {

enum class Kind {
  Dialog,
  Button,
  Edit,
  Static,
  ComboBox,
  ListBox,
  TabControl,
  Chooser,
  ChooserHook
};

struct Window;
using ClassProcedure = LRESULT (*)(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

struct Window {
  HWND handle = nullptr;
  Kind kind = Kind::Dialog;
  ClassProcedure procedure = nullptr;
  HWND parent = nullptr;       // WS_CHILD: the parent; otherwise the owner
  std::vector<HWND> children;  // creation order, which is also the tab order
  int id = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string text;          // window text of windows that do not edit it themselves
  QPointer<QWidget> widget;  // the whole window
  QPointer<QWidget> client;  // where child windows live (a dialog's client area)
  HFONT font = nullptr;

  // Dialogs.
  DLGPROC dialogProc = nullptr;
  LONG_PTR msgResult = 0;
  LONG_PTR user = 0;
  LONG_PTR userData = 0;
  int baseX = 0;  // dialog base units of the dialog font
  int baseY = 0;
  int defaultId = 0;  // DM_SETDEFID, or the template's BS_DEFPUSHBUTTON
  bool modal = false;
  bool ended = false;
  INT_PTR endResult = 0;
  QEventLoop* modalLoop = nullptr;
  HMENU menu = nullptr;
  QPointer<QMenuBar> menuBar;
  HICON icons[2] = {nullptr, nullptr};  // ICON_SMALL, ICON_BIG
};

// The record of a live window, or nullptr.
Window* Find(HWND handle);
// Registers a new window; the caller fills it in and attaches the widget.
Window& NewWindow(Kind kind, ClassProcedure procedure, HWND parent);
void AttachWidget(Window& window, QWidget* widget, QWidget* client = nullptr);
// The window a widget (or one of its inner widgets) belongs to.
HWND HandleOf(const QObject* object);
// The top-level window a window lives in (itself for a popup).
HWND RootOf(HWND handle);
// Every live window, in creation order.
std::vector<HWND> AllWindows();
// The Qt widget a user acts on: the control's own widget, the QTabBar of a
// tab control, the frame of a top-level dialog.
QWidget* UserWidget(const Window& window);

// Calls into the program: dialog procedures and hooks run through here, so
// that the message loop knows when posted messages may be delivered.
struct ProgramCall {
  ProgramCall();
  ~ProgramCall();
  ProgramCall(const ProgramCall&) = delete;
  ProgramCall& operator=(const ProgramCall&) = delete;
};
INT_PTR CallProgram(DLGPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int ProgramDepth();

// WM_COMMAND from a control to its parent.
void NotifyParent(const Window& control, WORD code);

// Text conversion: window text is Windows-1252; paths are the file system's bytes.
QString FromAnsi(const char* text);
QString FromAnsi(const std::string& text);
std::string ToAnsi(const QString& text);
QString FromPath(const char* path);  // "\" accepted as a separator
std::string ToPath(const QString& path);
// Copies text into a caller's buffer as GetWindowTextA does; returns the length copied.
int CopyOut(const std::string& text, char* buffer, int size);
// "&Exit" -> "Exit"; "&&" -> "&".
QString WithoutMnemonic(const QString& text);
// The character after the mnemonic "&", upper-cased, or 0.
QChar MnemonicOf(const QString& text);

// Windows' MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c);

// The dialog font and its base units.
QFont DialogFont(const QString& face, int pointSize);
void BaseUnits(const QFont& font, int& baseX, int& baseY);
HFONT FontHandle(const QFont& font);
const QFont* FontOf(HFONT font);

// Control classes and their creation.
HWND CreateControl(DWORD exStyle, const QString& className, const char* text, DWORD style,
                   QRect rect, HWND parent, int id);
LRESULT DialogProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
// The window text handling that every class shares.
LRESULT CommonProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
void ApplyButtonCheck(Window& button, bool checked);
QWidget* NewTabControl(QWidget* parent, DWORD style);
LRESULT TabProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
// The controls of a window's group: from a WS_GROUP sibling up to the next one.
std::vector<HWND> GroupOf(HWND control);

// Destroys a window, its children and its owned windows.
void Destroy(HWND handle);
void DestroyAllWindows();
void ResizeWidget(Window& window, QSize size);

// Keyboard interface of dialogs (installed once on the application).
void InstallDialogKeyboard();
// Whether the accelerator table bound to the top-level window has the key;
// with act, its command is sent (WM_COMMAND, notification 1).
bool MatchAccelerator(HWND root, const QKeyEvent& event, bool act);
// Drops the input for disabled top-level windows (installed once, after the
// keyboard interface, so that it sees the keys first).
void InstallDisabledWindowInput();
// Raises and activates a top-level widget.
void BringForward(QWidget* window);
// The menu bar of a top-level window was (re)built.
void LayoutFrame(Window& dialog);
void RebuildMenuBar(Window& window);
// The property of a menu bar's QAction that holds the command id it sends.
inline constexpr const char* kMenuCommandProperty = "win32_command";
QIcon IconOf(HICON icon);
void RegisterStandardResources();

// The application set-up that the program's main() makes.
void InitializeApplication();
// "\\" as "/" in a path, bytes otherwise unchanged; a null path is empty.
inline std::string NativePath(const char* path) {
  return ::NativePath(path ? std::string_view(path) : std::string_view());
}

// Posted messages.
void WakeMessageLoop();
void DeliverPosted();

}  // namespace win32
