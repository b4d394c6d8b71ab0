// The application set-up shared by the program's main() and test mains, and
// the test hook.
#include <QApplication>
#include <QStyleFactory>

#include "core.h"
#include "test_hook.h"

namespace win32 {

void InitializeApplication() {
  // The classic Windows look, where Qt has it.
  if (QStyle* style = QStyleFactory::create("Windows")) QApplication::setStyle(style);
  QApplication::setFont(DialogFont(QString(), 8));
  // Windows come and go through the program; only WinMain ends the process.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallDialogKeyboard();
  InstallDisabledWindowInput();
  RegisterStandardResources();
}

namespace {
TestHook* installedHook = nullptr;
}

void InstallTestHook(TestHook* hook) {
  installedHook = hook;
}

TestHook* InstalledTestHook() {
  return installedHook;
}

TestHook* AnsweringHook() {
  return installedHook != nullptr && installedHook->Answering() ? installedHook : nullptr;
}

}  // namespace win32
