// GetOpenFileNameA and GetSaveFileNameA on a non-native QFileDialog.
//
// The chooser is a window of its own (GetWindowRect and SetWindowPos work on
// it) whose parent is the owner's top-level window; the hook gets a child
// window of the chooser and is called with WM_INITDIALOG, then WM_NOTIFY
// CDN_INITDONE once the chooser is set up and before it is shown.
#include <unistd.h>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <cstring>
#include <optional>

#include "core.h"
#include "test_hook.h"

namespace win32 {
namespace {

DWORD lastError = 0;

LRESULT ChooserProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CommonProcedure(window, message, wParam, lParam);
  if (message == WM_SETTEXT && window.widget) window.widget->setWindowTitle(FromAnsi(window.text));
  return result;
}

// "All Files (*.*)\0*.*\0\0" -> "All Files (*.*) (*)"; Windows' "*.*" also
// matches names without a dot, Qt's "*" does.
std::vector<std::pair<std::string, std::string>> FilterPairs(const char* filter) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const char* p = filter; p != nullptr && *p != '\0';) {
    std::string description = p;
    p += description.size() + 1;
    if (*p == '\0') break;
    std::string patterns = p;
    p += patterns.size() + 1;
    pairs.emplace_back(description, patterns);
  }
  return pairs;
}

QString QtFilter(const std::pair<std::string, std::string>& pair) {
  QStringList patterns = FromAnsi(pair.second).split(';', Qt::SkipEmptyParts);
  for (QString& pattern : patterns) {
    pattern = pattern.trimmed();
    if (pattern == "*.*") pattern = "*";
  }
  return FromAnsi(pair.first) + " (" + patterns.join(' ') + ")";
}

// The name as typed, made absolute and given the default extension when it has none.
QString CompletePath(const QString& typed, const QString& folder, const QString& defaultExt) {
  QString path = QFileInfo(typed).isAbsolute() ? typed : QDir(folder).filePath(typed);
  if (!defaultExt.isEmpty() && !QFileInfo(path).fileName().contains('.')) {
    path += "." + defaultExt;
  }
  return QDir::cleanPath(path);
}

RECT RectOf(HWND window) {
  RECT rect{0, 0, 0, 0};
  GetWindowRect(window, &rect);
  return rect;
}

BOOL WriteResult(OPENFILENAMEA& ofn, const QString& path) {
  const std::string bytes = ToPath(path);
  if (bytes.size() + 1 > ofn.nMaxFile) {
    lastError = FNERR_BUFFERTOOSMALL;
    if (ofn.nMaxFile >= 2) {
      const WORD needed = static_cast<WORD>(std::min<size_t>(bytes.size() + 1, 0xFFFF));
      std::memcpy(ofn.lpstrFile, &needed, sizeof needed);
    }
    return FALSE;
  }
  std::memcpy(ofn.lpstrFile, bytes.c_str(), bytes.size() + 1);
  const size_t slash = bytes.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = bytes.rfind('.');
  ofn.nFileOffset = static_cast<WORD>(nameStart);
  ofn.nFileExtension =
      static_cast<WORD>(dot != std::string::npos && dot >= nameStart ? dot + 1 : bytes.size());
  if (ofn.lpstrFileTitle != nullptr && ofn.nMaxFileTitle > 0) {
    CopyOut(bytes.substr(nameStart), ofn.lpstrFileTitle, static_cast<int>(ofn.nMaxFileTitle));
  }
  ofn.Flags &= ~static_cast<DWORD>(OFN_EXTENSIONDIFFERENT);
  if (ofn.lpstrDefExt != nullptr &&
      QString::fromStdString(bytes.substr(ofn.nFileExtension))
              .compare(FromAnsi(ofn.lpstrDefExt), Qt::CaseInsensitive) != 0) {
    ofn.Flags |= OFN_EXTENSIONDIFFERENT;
  }
  if (!(ofn.Flags & OFN_NOCHANGEDIR)) {
    const std::string folder = ToPath(QFileInfo(path).absolutePath());
    if (chdir(folder.c_str()) != 0) return FALSE;
  }
  return TRUE;
}

// What the chooser was set up with: for the result and for a test hook's record.
struct ChooserSetup {
  QString title;
  QString folder;  // where the chooser opens
  QString defaultExt;
  QString initialName;               // the file name part of lpstrFile
  std::vector<std::string> filters;  // "description|patterns" per filter entry
};

// The checks Windows makes before it shows anything; CommDlgExtendedError tells why.
bool AcceptRecord(const OPENFILENAMEA* ofn) {
  if (ofn == nullptr || (ofn->lStructSize != sizeof(OPENFILENAMEA) &&
                         ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A)) {
    lastError = CDERR_STRUCTSIZE;
    return false;
  }
  if (ofn->lpstrFile == nullptr || ofn->nMaxFile == 0) {
    lastError = CDERR_INITIALIZATION;
    return false;
  }
  return true;
}

// Title, filters, folder, open or save mode, default extension and the
// initial name, from the record.
ChooserSetup ConfigureDialog(QFileDialog& dialog, const OPENFILENAMEA& ofn, bool save) {
  ChooserSetup setup;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  setup.title = ofn.lpstrTitle ? FromAnsi(ofn.lpstrTitle) : QString(save ? "Save As" : "Open");
  dialog.setWindowTitle(setup.title);
  QStringList filters;
  for (const auto& pair : FilterPairs(ofn.lpstrFilter)) {
    filters << QtFilter(pair);
    setup.filters.push_back(pair.first + "|" + pair.second);
  }
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= static_cast<DWORD>(filters.size())) {
      dialog.selectNameFilter(filters[static_cast<qsizetype>(ofn.nFilterIndex - 1)]);
    }
  }
  const QFileInfo initial(FromPath(ofn.lpstrFile));
  setup.folder = ofn.lpstrInitialDir && *ofn.lpstrInitialDir ? FromPath(ofn.lpstrInitialDir)
                                                             : QDir::currentPath();
  if (initial.fileName() != initial.filePath()) setup.folder = initial.absolutePath();
  dialog.setDirectory(setup.folder);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(ofn.Flags & OFN_OVERWRITEPROMPT));
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((ofn.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
  }
  setup.defaultExt = ofn.lpstrDefExt ? FromAnsi(ofn.lpstrDefExt) : QString();
  dialog.setDefaultSuffix(setup.defaultExt);
  setup.initialName = initial.fileName();
  if (!setup.initialName.isEmpty()) dialog.selectFile(setup.initialName);
  dialog.resize(dialog.sizeHint().expandedTo(QSize(560, 400)));
  return setup;
}

struct ChooserWindows {
  HWND chooser;
  HWND hook;
};

// Registers the chooser as a popup window owned by `ownerRoot`, with the
// child window that the program's hook procedure gets.
ChooserWindows RegisterChooser(QFileDialog* dialog, HWND ownerRoot, const QString& title) {
  Window& chooser = NewWindow(Kind::Chooser, &ChooserProcedure, ownerRoot);
  const HWND chooserHandle = chooser.handle;
  chooser.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  chooser.text = ToAnsi(title);
  AttachWidget(chooser, dialog);
  Window& hook = NewWindow(Kind::ChooserHook, &CommonProcedure, chooserHandle);
  const HWND hookHandle = hook.handle;
  hook.style = WS_CHILD | WS_VISIBLE;
  auto* hookWidget = new QWidget(dialog);
  hookWidget->setGeometry(0, 0, 0, 0);
  AttachWidget(hook, hookWidget);
  Find(chooserHandle)->children.push_back(hookHandle);
  return {chooserHandle, hookHandle};
}

// WM_INITDIALOG, then WM_NOTIFY CDN_INITDONE, to the program's hook
// procedure; false when the record names none.
bool CallHookProcedure(OPENFILENAMEA* ofn, const ChooserWindows& windows) {
  if (!(ofn->Flags & OFN_ENABLEHOOK) || ofn->lpfnHook == nullptr) return false;
  const ProgramCall call;
  ofn->lpfnHook(windows.hook, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(ofn));
  OFNOTIFYA notify{NMHDR{windows.chooser, 0, CDN_INITDONE}, ofn, nullptr};
  ofn->lpfnHook(windows.hook, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
  return true;
}

// What a test hook is told of the chooser as it stands after the hook procedure ran.
ChooserRecord DescribeChooser(const QFileDialog& dialog, const OPENFILENAMEA& ofn, bool save,
                              HWND chooser, const ChooserSetup& setup, bool hookCalled) {
  const auto* nameField = dialog.findChild<QLineEdit*>("fileNameEdit");
  return ChooserRecord{save,
                       chooser,
                       GetParent(chooser),
                       ToAnsi(setup.title),
                       ToPath(setup.folder),
                       nameField ? ToPath(nameField->text()) : ToPath(setup.initialName),
                       setup.filters,
                       ofn.Flags,
                       ToAnsi(setup.defaultExt),
                       RectOf(chooser),
                       hookCalled,
                       FALSE};
}

// Shows the chooser modally and waits for the user: the chosen path, or
// nothing when the user cancelled or the program destroyed the chooser.
std::optional<QString> WaitForUser(QFileDialog* dialog, HWND chooser, bool owned) {
  dialog->setWindowModality(owned ? Qt::WindowModal : Qt::ApplicationModal);
  QEventLoop loop;
  QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  dialog->show();
  loop.exec();
  if (IsWindow(chooser) && dialog->result() == QDialog::Accepted &&
      !dialog->selectedFiles().isEmpty()) {
    return dialog->selectedFiles().first();
  }
  return std::nullopt;
}

BOOL RunChooser(OPENFILENAMEA* ofn, bool save) {
  lastError = 0;
  if (!AcceptRecord(ofn)) return FALSE;
  const HWND ownerRoot = RootOf(ofn->hwndOwner);
  Window* owner = Find(ownerRoot);
  auto* dialog = new QFileDialog(owner ? owner->widget.data() : nullptr);
  const ChooserSetup setup = ConfigureDialog(*dialog, *ofn, save);
  const ChooserWindows windows = RegisterChooser(dialog, ownerRoot, setup.title);
  const bool hookCalled = CallHookProcedure(ofn, windows);

  // A test hook answers in place of the user; the chooser is never shown then.
  std::optional<QString> chosen;
  TestHook* testHook = AnsweringHook();
  ChooserRecord record;
  if (testHook != nullptr) {
    record = DescribeChooser(*dialog, *ofn, save, windows.chooser, setup, hookCalled);
    if (auto answer = testHook->NextChooserAnswer()) chosen = QString::fromStdString(*answer);
  } else if (IsWindow(windows.chooser)) {
    chosen = WaitForUser(dialog, windows.chooser, owner != nullptr);
  }
  const QString chosenFolder =
      IsWindow(windows.chooser) ? dialog->directory().absolutePath() : setup.folder;
  DestroyWindow(windows.chooser);

  const BOOL result =
      chosen ? WriteResult(*ofn, CompletePath(*chosen, chosenFolder, setup.defaultExt)) : FALSE;
  if (testHook != nullptr) {
    record.result = result;
    testHook->Record(record);
  }
  return result;
}

}  // namespace
}  // namespace win32

using namespace win32;

extern "C" {

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn) {
  return RunChooser(ofn, false);
}

BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA ofn) {
  return RunChooser(ofn, true);
}

DWORD WINAPI CommDlgExtendedError(void) {
  return lastError;
}

}  // extern "C"
