// The process entry of a program written against the layer: the Qt
// application first, then the program's WinMain.
#include <QApplication>
#include <string>

#include "core.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  win32::InitializeApplication();
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  const int code = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
  win32::DestroyAllWindows();
  return code;
}
