// Shell, current directory, the library table, the common controls and the clock.
#include <time.h>
#include <unistd.h>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <cctype>
#include <cstring>

#include "core.h"
#include "test_hook.h"

namespace win32 {
namespace {

const HMODULE kCommonControls = reinterpret_cast<HMODULE>(uintptr_t{0x7C000000});
const HINSTANCE kProgram = reinterpret_cast<HINSTANCE>(uintptr_t{0x00400000});

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace
}  // namespace win32

using namespace win32;

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  return moduleName == nullptr ? kProgram : nullptr;
}

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
  if (fileName == nullptr) return nullptr;
  std::string name = NativePath(fileName);
  name = Upper(name.substr(name.rfind('/') == std::string::npos ? 0 : name.rfind('/') + 1));
  if (const TestHook* hook = InstalledTestHook(); hook && hook->LibraryHidden(name)) return nullptr;
  if (name == "COMCTL32.DLL" || name == "COMCTL32") return kCommonControls;
  return nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
  if (module != kCommonControls || procName == nullptr || IS_INTRESOURCE(procName)) return nullptr;
  const std::string name = procName;
  if (const TestHook* hook = InstalledTestHook(); hook && hook->ProcedureHidden(name))
    return nullptr;
  if (name == "InitCommonControlsEx")
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&InitCommonControlsEx));
  if (name == "InitCommonControls")
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&InitCommonControls));
  return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE module) {
  return module == kCommonControls;
}

// The classes are always there; a test hook is told of the calls.
void WINAPI InitCommonControls(void) {
  if (TestHook* hook = InstalledTestHook()) hook->CommonControlsInitialized(0, 0);
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (init == nullptr || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  if (TestHook* hook = InstalledTestHook())
    hook->CommonControlsInitialized(init->dwSize, init->dwICC);
  return TRUE;
}

HINSTANCE WINAPI ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, INT show) {
  QString name = FromPath(file);
  if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"'))
    name = name.mid(1, name.size() - 2);
  const QString folder = directory && *directory ? FromPath(directory) : QDir::currentPath();
  const QString path = QFileInfo(name).isAbsolute() ? name : QDir(folder).filePath(name);
  INT_PTR result = SE_ERR_FNF;
  TestHook* hook = AnsweringHook();
  if (QFileInfo::exists(path)) {
    if (hook != nullptr) {
      result = hook->ShellExecuteResult();
    } else {
      result = QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 42 : SE_ERR_NOASSOC;
    }
  }
  if (hook != nullptr) {
    hook->Record(ShellExecuteRecord{owner, operation ? operation : "", file ? file : "",
                                    ToPath(path), parameters ? parameters : "",
                                    directory ? directory : "", show, result});
  }
  return reinterpret_cast<HINSTANCE>(result);
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  char path[4096];
  if (getcwd(path, sizeof path) == nullptr) return 0;
  const DWORD length = static_cast<DWORD>(std::strlen(path));
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, path, length + 1);
  return length;
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR path) {
  if (path == nullptr) return FALSE;
  return chdir(NativePath(path).c_str()) == 0;
}

DWORD WINAPI GetTickCount(void) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t milliseconds =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(milliseconds);  // wraps, as on Windows
}

}  // extern "C"
