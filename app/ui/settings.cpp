#include "settings.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "catalogue.h"
#include "entry_pages.h"
#include "fixed_text.h"
#include "main_window.h"
#include "program_state.h"
#include "selection_lists.h"

namespace {

struct SideKeys {
  Side side;
  const char* section;
  PageId gridListPage, geographicListPage;
  int gridListBox, geographicListBox;
  std::string* gridListFile;
  std::string* geographicListFile;
};

const SideKeys kSideKeys[] = {
    {Side::kStart, "Start", StartProjList, StartSysList, kStartProjListBox, kStartSysListBox,
     &startProjListFile, &startSysListFile},
    {Side::kTarget, "Target", TargetProjList, TargetSysList, kTargetProjListBox, kTargetSysListBox,
     &targetProjListFile, &targetSysListFile},
};

struct RoleKey {
  ListRole role;
  const char* key;
};

// In this order: a projection moves the datum, a datum the ellipsoid.
constexpr RoleKey kRoleKeys[] = {{ListRole::kProjection, "Projection"},
                                 {ListRole::kDatum, "Datum"},
                                 {ListRole::kEllipsoid, "Ellipsoid"}};

std::string Read(const std::string& file, const char* section, const char* key) {
  char value[1024] = "";
  GetPrivateProfileStringA(section, key, "", value, sizeof value, file.c_str());
  return value;
}

bool ReadNumber(const std::string& file, const char* section, const char* key, int32_t& number) {
  const std::string text = Read(file, section, key);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

std::string NameAt(ListRole role, int32_t position) {
  const Catalogues& catalogues = ProgramCatalogues();
  switch (role) {
    case ListRole::kProjection:
      return TrimmedField(catalogues.Projection(position).name);
    case ListRole::kDatum:
      return TrimmedField(catalogues.Datum(position).name);
    case ListRole::kEllipsoid:
      return TrimmedField(catalogues.Ellipsoid(position).name);
  }
  return {};
}

std::string ChosenName(Side side, ListRole role) {
  const CrsSide& crs = CrsSideOf(side);
  switch (role) {
    case ListRole::kProjection:
      return TrimmedField(crs.projection.name);
    case ListRole::kDatum:
      return TrimmedField(crs.datum.name);
    case ListRole::kEllipsoid:
      return TrimmedField(crs.ellipsoid.name);
  }
  return {};
}

// The entry of that name, chosen as a user chooses it, unless the side has it.
void ChooseNamed(Side side, ListRole role, const std::string& name) {
  if (name.empty() || name == ChosenName(side, role)) return;
  for (int32_t p = 1; p <= ListedCount(role); ++p) {
    if (NameAt(role, p) == name) {
      ChooseFoundEntry(SelectionListId(side, role), p, "");
      return;
    }
  }
}

void RestoreListFile(const std::string& file, const char* section, const char* key, PageId page,
                     int box, std::string& listFile) {
  const std::string name = Read(file, section, key);
  if (name.empty()) return;
  listFile = name;
  SetDlgItemTextA(PageWindow(page), box, name.c_str());
}

std::string BoxOrName(PageId page, int box) {
  return std::string(TrimBlanks(BoxText(page, box)));
}

}  // namespace

std::string SettingsFile() {
#ifdef _WIN32
  const char* appData = std::getenv("APPDATA");
  if (appData == nullptr || *appData == '\0') return {};
  return std::string(appData) + "\\varnel\\Varnel3.ini";
#else
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::string(config) + "/varnel/Varnel3.ini";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return {};
  return std::string(home) + "/.config/varnel/Varnel3.ini";
#endif
}

void RestoreSettings(HWND main) {
  const std::string file = SettingsFile();
  if (file.empty()) return;
  for (const SideKeys& keys : kSideKeys) {
    for (const RoleKey& role : kRoleKeys) {
      ChooseNamed(keys.side, role.role, Read(file, keys.section, role.key));
    }
    // After the systems, which bring their own units.
    int32_t angleFormat = 0, lengthUnit = 0;
    UnitsAndFormats wanted = CrsSideOf(keys.side).unitsAndFormats;
    if (ReadNumber(file, keys.section, "AngleFormat", angleFormat) &&
        (angleFormat == kAngleFormatDms || angleFormat == kAngleFormatDecimal)) {
      wanted.angleFormat = angleFormat;
    }
    if (ReadNumber(file, keys.section, "LengthUnit", lengthUnit)) SetLengthUnit(wanted, lengthUnit);
    SetUnitsAndFormats(main, keys.side, wanted);
    RestoreListFile(file, keys.section, "GridListFile", keys.gridListPage, keys.gridListBox,
                    *keys.gridListFile);
    RestoreListFile(file, keys.section, "GeographicListFile", keys.geographicListPage,
                    keys.geographicListBox, *keys.geographicListFile);
  }
}

void SaveSettings(HWND) {
  const std::string file = SettingsFile();
  if (file.empty() || PageWindow(StartXY) == nullptr) return;
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ignored);
  for (const SideKeys& keys : kSideKeys) {
    const char* section = keys.section;
    for (const RoleKey& role : kRoleKeys) {
      const std::string name = ChosenName(keys.side, role.role);
      WritePrivateProfileStringA(section, role.key, name.empty() ? nullptr : name.c_str(),
                                 file.c_str());
    }
    const UnitsAndFormats& formats = CrsSideOf(keys.side).unitsAndFormats;
    WritePrivateProfileStringA(section, "AngleFormat", std::to_string(formats.angleFormat).c_str(),
                               file.c_str());
    WritePrivateProfileStringA(section, "LengthUnit", std::to_string(formats.lengthUnit).c_str(),
                               file.c_str());
    // The boxes, which also hold names typed by hand.
    WritePrivateProfileStringA(section, "GridListFile",
                               BoxOrName(keys.gridListPage, keys.gridListBox).c_str(),
                               file.c_str());
    WritePrivateProfileStringA(section, "GeographicListFile",
                               BoxOrName(keys.geographicListPage, keys.geographicListBox).c_str(),
                               file.c_str());
  }
}
