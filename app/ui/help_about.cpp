#include "help_about.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "catalogue_folders.h"
#include "list_files.h"
#include "message.h"

namespace {

constexpr const char* kHelpDocument = "Knowing your latitude and longitude.pdf";
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::string rememberedFolder;

std::string CurrentFolder() {
  char folder[MAX_PATH] = "";
  const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) folder[0] = '\0';
  return folder;
}

bool IsAbsolute(const std::string& path) {
#ifdef _WIN32
  return (path.size() > 1 && path[1] == ':') || path.rfind("\\", 0) == 0 || path.rfind("/", 0) == 0;
#else
  return path.rfind('/', 0) == 0;
#endif
}

// A folder and a name in it, as the system writes paths.
std::string InFolder(std::string folder, const char* name) {
  if (!folder.empty() && folder.back() != '/' && folder.back() != kSeparator) {
    folder += kSeparator;
  }
  return folder + name;
}

}  // namespace

void RememberProgramFolder() {
  rememberedFolder = CurrentFolder();
}

std::string ProgramFolder() {
  return rememberedFolder.empty() ? CurrentFolder() : rememberedFolder;
}

std::string HelpDocumentPath() {
  const std::string& catalogues = ProgramCatalogueFolder();
  if (catalogues.empty()) return InFolder(ProgramFolder(), kHelpDocument);
  return InFolder(
      IsAbsolute(catalogues) ? catalogues : InFolder(ProgramFolder(), catalogues.c_str()),
      kHelpDocument);
}

void ShowHelpDocument() {
  const std::string path = HelpDocumentPath();
  if (!ListFileExists(path)) {
    ShowMessage("File " + path + " not found.", kCaptionWarning, MB_TASKMODAL | MB_ICONEXCLAMATION);
    return;
  }
  const std::string quoted = "\"" + path + "\"";
  const HINSTANCE result =
      ShellExecuteA(nullptr, nullptr, quoted.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  // Values up to 32 are the shell's error codes.
  if (reinterpret_cast<INT_PTR>(result) <= 32) {
    ShowMessage(kNoViewerMessage + path + ".", kCaptionWarning, MB_TASKMODAL | MB_ICONEXCLAMATION);
  }
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
  // The program's own file, wherever it was started from.
  const std::string version = ProgramVersionText(RunningProgramFile());
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
