// MessageBoxA on QMessageBox: icon, buttons, default button, caption and
// modality from the style flags.
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "core.h"
#include "test_hook.h"

namespace win32 {
namespace {

const char* const kDefaultCaption = "Varnel";

std::vector<int> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    default:
      return {IDOK};
  }
}

QMessageBox::StandardButton StandardButtonOf(int id) {
  switch (id) {
    case IDCANCEL:
      return QMessageBox::Cancel;
    case IDABORT:
      return QMessageBox::Abort;
    case IDRETRY:
      return QMessageBox::Retry;
    case IDIGNORE:
      return QMessageBox::Ignore;
    case IDYES:
      return QMessageBox::Yes;
    case IDNO:
      return QMessageBox::No;
    default:
      return QMessageBox::Ok;
  }
}

struct IconChoice {
  QMessageBox::Icon icon;
  const char* name;
};

IconChoice IconOfStyle(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      return {QMessageBox::Critical, "critical"};
    case MB_ICONQUESTION:
      return {QMessageBox::Question, "question"};
    case MB_ICONEXCLAMATION:
      return {QMessageBox::Warning, "warning"};
    case MB_ICONASTERISK:
      return {QMessageBox::Information, "information"};
    default:
      return {QMessageBox::NoIcon, "none"};
  }
}

// Windows breaks lines at CR, LF or CR LF.
QString BoxText(const char* text) {
  QString result = FromAnsi(text);
  result.replace("\r\n", "\n");
  result.replace('\r', '\n');
  return result;
}

}  // namespace
}  // namespace win32

using namespace win32;

extern "C" {

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const std::vector<int> buttons = ButtonsOf(type);
  const size_t defaultIndex = std::min<size_t>((type & MB_DEFMASK) >> 8, buttons.size() - 1);
  const int defaultId = buttons[defaultIndex];
  const char* shownCaption = caption ? caption : kDefaultCaption;
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    std::fprintf(stderr, "%s: %s\n", shownCaption, text ? text : "");
    return defaultId;
  }

  Window* ownerWindow = Find(RootOf(owner));
  QWidget* parent = ownerWindow ? ownerWindow->widget.data() : nullptr;
  QMessageBox box(parent);
  const IconChoice icon = IconOfStyle(type);
  box.setIcon(icon.icon);
  box.setTextFormat(Qt::PlainText);
  box.setText(BoxText(text));
  box.setWindowTitle(FromAnsi(shownCaption));
  for (int id : buttons) box.addButton(StandardButtonOf(id));
  box.setDefaultButton(StandardButtonOf(defaultId));
  if (std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end()) {
    box.setEscapeButton(StandardButtonOf(IDCANCEL));
  } else if (buttons.size() == 1) {
    box.setEscapeButton(StandardButtonOf(IDOK));
  }
  // Task-modal boxes block every window of the program; an owned box blocks
  // its owner; a box without owner blocks nothing but the caller.
  const bool taskModal = type & (MB_TASKMODAL | MB_SYSTEMMODAL);
  const Qt::WindowModality modality = taskModal ? Qt::ApplicationModal
                                      : parent  ? Qt::WindowModal
                                                : Qt::NonModal;
  box.setWindowModality(modality);
  if (type & (MB_TOPMOST | MB_SYSTEMMODAL)) box.setWindowFlag(Qt::WindowStaysOnTopHint);

  if (TestHook* hook = AnsweringHook()) {
    int answer = hook->NextMessageBoxAnswer(defaultId);
    if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end()) answer = defaultId;
    hook->Record(MessageBoxRecord{owner, text ? text : "", shownCaption, caption == nullptr, type,
                                  icon.name, buttons,
                                  modality == Qt::ApplicationModal ? "application"
                                  : modality == Qt::WindowModal    ? "window"
                                                                   : "none",
                                  answer});
    return answer;
  }

  QEventLoop loop;
  QObject::connect(&box, &QMessageBox::finished, &loop, &QEventLoop::quit);
  box.show();
  loop.exec();
  for (int id : buttons) {
    if (box.clickedButton() == box.button(StandardButtonOf(id))) return id;
  }
  return defaultId;
}

}  // extern "C"
