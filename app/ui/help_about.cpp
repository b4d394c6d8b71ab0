#include "help_about.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "list_files.h"
#include "message.h"

namespace {

constexpr const char* kHelpDocument = "Knowing your latitude and longitude.pdf";
#ifdef _WIN32
constexpr const char* kProgramFile = "Varnel3.exe";
#else
constexpr const char* kProgramFile = "Varnel3";
#endif

// The current directory followed by "\" and the name, as Windows would form it.
std::string InCurrentDirectory(const char* name) {
  char folder[MAX_PATH] = "";
  const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) folder[0] = '\0';
  return std::string(folder) + "\\" + name;
}

}  // namespace

void ShowHelpDocument() {
  const std::string path = InCurrentDirectory(kHelpDocument);
  if (ListFileExists(path)) {
    const std::string quoted = "\"" + path + "\"";
    ShellExecuteA(nullptr, nullptr, quoted.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return;
  }
  ShowMessage("File " + path + " not found.", kCaptionWarning, MB_TASKMODAL | MB_ICONEXCLAMATION);
}

std::string ProgramVersionText(const std::string& path) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return "";
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), handle, size, block.data())) return "";
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", &value, &length) || value == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return "";
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
  char text[48];
  std::snprintf(text, sizeof text, "%X.%X.%u", HIWORD(info->dwProductVersionMS),
                LOWORD(info->dwProductVersionMS), static_cast<unsigned>(info->dwProductVersionLS));
  return text;
}

std::string AboutText() {
  std::string text = "Varnel Version # (former Ostrak)";
  const std::string version = ProgramVersionText(InCurrentDirectory(kProgramFile));
  for (size_t at = text.find('#'); at != std::string::npos; at = text.find('#', at)) {
    text.replace(at, 1, version);
    at += version.size();
  }
  text +=
      "\r\r"
      "This program performs a coordinate transformation between two coordinate reference "
      "systems using a geocentric translation or Helmert Transformations. Pick the start and "
      "the target system, type a point or name a list file, and press Transform. The results "
      "are only as good as the catalogue parameters: check them against your own sources "
      "before relying on them. The program may be copied and passed on freely, unchanged."
      "\r\r"
      "(The transformation methods and the parameter values follow the publications of the OGP "
      "Surveying & Positioning Committee, former EPSG: Guidance Note 7 part 2, Coordinate "
      "Conversions and Transformations including Formulas, and the EPSG Geodetic Parameter "
      "Dataset.)";
  return text;
}

void ShowAboutBox() {
  ShowMessage(AboutText(), kCaptionInformation, MB_TASKMODAL | MB_ICONINFORMATION);
}
