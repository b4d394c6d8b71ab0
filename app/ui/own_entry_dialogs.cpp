// The dialogs of the user's own ellipsoid, datum and projection. Each checks
// what was typed as the catalogue loader would check the line it becomes
// (CatalogueLineProblem), and tells the first fault in the dialog's own
// words and units; only a sound entry is stored.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include <windows.h>
// <commctrl.h> needs the types of <windows.h>.
#include <commctrl.h>

#include "catalogue.h"
#include "dialog_conventions.h"
#include "dialog_template.h"
#include "dms_text.h"
#include "fixed_text.h"
#include "floating_point_mode.h"
#include "grid_files.h"
#include "list_choosers.h"
#include "message.h"
#include "method_table.h"
#include "number_text.h"
#include "ostrak32.h"
#include "own_entries.h"
#include "selection_lists.h"
#include "side.h"
#include "units.h"
#include "user_entries.h"

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
constexpr DWORD kVisible = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kVisible | SS_LEFT;
constexpr DWORD kEdit = kVisible | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kChoice = kVisible | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kOption = kVisible | BS_AUTORADIOBUTTON;
constexpr DWORD kFrame = kVisible | BS_GROUPBOX;
constexpr DWORD kButton = kVisible | BS_PUSHBUTTON | WS_TABSTOP;

// One second of arc in radians, and one part per million.
constexpr double kArcSecond = 3.14159265358979323846 / 648000;
constexpr double kPpm = 1e-6;

// "OK" and "Cancel" at the foot of a dialog `width` wide.
void AddButtons(DialogTemplate& dialog, short width, short y) {
  dialog
      .Control(kButton | BS_DEFPUSHBUTTON | WS_GROUP, 0, static_cast<short>(width - 144), y, 64, 16,
               IDOK, "BUTTON", "OK")
      .Control(kButton, 0, static_cast<short>(width - 72), y, 64, 16, IDCANCEL, "BUTTON", "Cancel");
}

std::string ItemText(HWND dialog, int id) {
  const HWND item = GetDlgItem(dialog, id);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string Trimmed(const std::string& text) {
  return std::string(TrimBlanks(text));
}

bool Checked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

LRESULT ChoiceIndex(HWND dialog, int id) {
  return SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
}

void AddChoice(HWND dialog, int id, const std::string& text) {
  SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Lists long entries whole when dropped down.
void WidenDroppedList(HWND dialog, int id, LONG dialogUnits) {
  RECT width{0, 0, dialogUnits, 0};
  MapDialogRect(dialog, &width);
  SendDlgItemMessageA(dialog, id, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width.right), 0);
  SendDlgItemMessageA(dialog, id, CB_SETMINVISIBLE, kDroppedListRows, 0);
}

// Tells the one fault found and gives false.
bool Refuse(const std::string& text) {
  ShowMessage(text, kCaptionWarning, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
  return false;
}

// The loader's verdict on a line, "<what> (field N) is <text>; it must be
// <requirement>": the field and the requirement.
struct Verdict {
  int field = 0;
  std::string requirement;
};

Verdict ReadVerdict(const std::string& problem) {
  const size_t field = problem.find("(field ");
  const size_t must = problem.find("; it must be ");
  if (field == std::string::npos || must == std::string::npos) return {};
  return {std::atoi(problem.c_str() + field + 7), problem.substr(must + 13)};
}

// A verdict the dialog has no words of its own for.
bool RefuseLine(const std::string& problem) {
  return Refuse("The entry cannot be stored: " + problem + ".");
}

// A value as an edit box showed it: while its text stays as shown, the value
// is taken as it was, not read back from its rounded text.
struct Shown {
  std::string text;
  double value = 0;
};

void Show(HWND dialog, int id, Shown& shown, const std::string& text, double value) {
  shown = {text, value};
  SetDlgItemTextA(dialog, id, text.c_str());
}

std::optional<double> ReadDecimal(const std::string& text, const Shown* shown) {
  if (shown != nullptr && !shown->text.empty() && text == shown->text) return shown->value;
  double value = 0;
  if (!ReadWholeNumber(text, value)) return std::nullopt;
  return value;
}

// "; "x" is none." or, for a box left empty, "; the box is empty."
std::string WhatWasTyped(const std::string& text) {
  const std::string typed = Trimmed(text);
  return typed.empty() ? "; the box is empty." : "; \"" + typed + "\" is none.";
}

bool RefuseNumber(const std::string& what, const std::string& text, const char* example) {
  return Refuse(what + " must be a number such as " + example + WhatWasTyped(text));
}

// OK: the entry checked and stored ends the dialog (a failed check has
// shown its message, and the dialog stays); Cancel ends it. false for any
// other command.
bool AnswerOkOrCancel(HWND dialog, int id, bool& stored,
                      const std::function<bool()>& checkAndStore) {
  if (id == IDOK) {
    if (checkAndStore()) {
      stored = true;
      EndDialog(dialog, IDOK);
    }
    return true;
  }
  if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return true;
  }
  return false;
}

// ================================================================ ellipsoid

namespace ellipsoid_dialog {

int32_t position = 0;
bool stored = false;
Shown shownA, shownB, shownFlattening;

constexpr int kIdNameLabel = 801;
constexpr int kIdSemiMajorLabel = 803;
constexpr int kIdUnitLabel = 809;

void EnableAxisChoice(HWND dialog) {
  const bool useB = Checked(dialog, kIdUseSemiMinorAxis);
  EnableWindow(GetDlgItem(dialog, kIdSemiMinorAxis), useB);
  EnableWindow(GetDlgItem(dialog, kIdInverseFlattening), !useB);
}

void Fill(HWND dialog) {
  for (const LengthUnit& unit : kLengthUnits) AddChoice(dialog, kIdLengthUnit, unit.label);
  SendDlgItemMessageA(dialog, kIdLengthUnit, CB_SETCURSEL, 0, 0);  // metres
  SendDlgItemMessageA(dialog, kIdEntryName, EM_LIMITTEXT, kEllipsoidNameWidth, 0);
  shownA = shownB = shownFlattening = {};
  bool useB = false;
  if (position > 0) {
    const EllipsoidRecord& e = ProgramCatalogues().Ellipsoid(position);
    SetDlgItemTextA(dialog, kIdEntryName, TrimmedField(e.name).c_str());
    Show(dialog, kIdSemiMajorAxis, shownA, FormatPlain(e.semiMajorAxis), e.semiMajorAxis);
    Show(dialog, kIdSemiMinorAxis, shownB, FormatPlain(e.semiMinorAxis), e.semiMinorAxis);
    if (e.semiMajorAxis > e.semiMinorAxis) {
      const double f = e.semiMajorAxis / (e.semiMajorAxis - e.semiMinorAxis);
      SetDlgItemTextA(dialog, kIdInverseFlattening, FormatPlain(f).c_str());
    }
    useB = true;  // b is what the catalogue holds
  }
  CheckRadioButton(dialog, kIdUseSemiMinorAxis, kIdUseInverseFlattening,
                   useB ? kIdUseSemiMinorAxis : kIdUseInverseFlattening);
  EnableAxisChoice(dialog);
}

bool Check(HWND dialog, EllipsoidRecord& record) {
  const Catalogues& catalogues = ProgramCatalogues();
  const std::string name = Trimmed(ItemText(dialog, kIdEntryName));
  if (std::string problem = EllipsoidNameProblem(catalogues, name, position); !problem.empty()) {
    return Refuse(problem);
  }
  const LRESULT unitIndex =
      std::clamp<LRESULT>(ChoiceIndex(dialog, kIdLengthUnit), 0, kLengthUnitCount - 1);
  const LengthUnit& unit = kLengthUnits[unitIndex];
  const bool metres = unit.id == kLengthUnitMetre;  // the shown values are metres
  const std::string aText = ItemText(dialog, kIdSemiMajorAxis);
  const std::optional<double> a = ReadDecimal(aText, metres ? &shownA : nullptr);
  if (!a) return RefuseNumber("The semi-major axis a", aText, "6378137");
  const double aMetres = metres ? *a : *a * unit.factor;
  const bool useB = Checked(dialog, kIdUseSemiMinorAxis);
  double bMetres = 0;
  if (useB) {
    const std::string bText = ItemText(dialog, kIdSemiMinorAxis);
    const std::optional<double> b = ReadDecimal(bText, metres ? &shownB : nullptr);
    if (!b) return RefuseNumber("The semi-minor axis b", bText, "6356752.314");
    bMetres = metres ? *b : *b * unit.factor;
  } else {
    const std::string fText = ItemText(dialog, kIdInverseFlattening);
    const std::optional<double> f = ReadDecimal(fText, nullptr);
    if (!f) return RefuseNumber("The inverse flattening 1/f", fText, "298.257223563");
    if (*f == 0) return Refuse("The inverse flattening 1/f must not be 0.");
    bMetres = aMetres - aMetres / *f;
  }
  record = {};
  record.code = 0;  // the user's own: EPSG gave it no code
  SetFixedField(record.name, name);
  record.semiMajorAxis = aMetres;
  record.semiMinorAxis = bMetres;
  EllipsoidRecord read{};
  const std::string problem = CatalogueLineProblem(CatalogueLine(record), read);
  if (problem.empty()) return true;
  const Verdict verdict = ReadVerdict(problem);
  std::string inMetres;
  if (verdict.field == 3) {
    if (!metres) inMetres = " (yours is " + FormatPlain(aMetres) + " metres)";
    return Refuse("The semi-major axis a must be " + verdict.requirement + inMetres + ".");
  }
  if (verdict.field == 4) {
    if (!useB) {
      return Refuse("The inverse flattening 1/f gives a semi-minor axis b of " +
                    FormatPlain(bMetres) + " metres; b must be " + verdict.requirement +
                    (verdict.requirement.find("metres") == std::string::npos ? " metres" : "") +
                    ".");
    }
    if (!metres) inMetres = " (yours is " + FormatPlain(bMetres) + " metres)";
    return Refuse("The semi-minor axis b must be " + verdict.requirement + inMetres + ".");
  }
  return RefuseLine(problem);
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Fill(dialog);
      return TRUE;
    case WM_NCACTIVATE:
      KeepFocus(dialog, wParam);
      return FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == kIdUseSemiMinorAxis || id == kIdUseInverseFlattening) {
        EnableAxisChoice(dialog);
      } else if (!AnswerOkOrCancel(dialog, id, stored, [&] {
                   EllipsoidRecord record;
                   return Check(dialog, record) && StoreUserEntry(record, position);
                 })) {
        return FALSE;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace ellipsoid_dialog

// ================================================================ datum

namespace datum_dialog {

int32_t position = 0;
bool stored = false;
std::string gridSource;  // the publisher a changed grid entry had
Shown shownParameters[7];

constexpr int kIdNameLabel = 821;
constexpr int kIdAreaLabel = 823;
constexpr int kIdEllipsoidLabel = 825;
constexpr int kIdMethodLabel = 830;
constexpr int kIdLeadsToLabel = 836;
constexpr int kIdGridFrame = 837;
constexpr int kIdGridFileLabel = 838;
constexpr int kIdGridEllipsoidLabel = 839;

struct ShiftMethod {
  int32_t code;
  const char* text;
};
constexpr ShiftMethod kShiftMethods[] = {
    {kGeocentricTranslations, "Geocentric translations (EPSG 9603)"},
    {kPositionVector, "Position Vector transformation (EPSG 9606)"},
    {kCoordinateFrame, "Coordinate Frame rotation (EPSG 9607)"},
    {kNtv2, "NTv2 grid (EPSG 9615)"},
    {kNadcon, "NADCON grid pair (EPSG 9613)"},
};

struct ShiftParameter {
  const char* label;
  const char* what;  // in a message
  const char* example;
};
constexpr ShiftParameter kShiftParameters[7] = {
    {"&X translation (m):", "The X translation", "446.448"},
    {"&Y translation (m):", "The Y translation", "-125.157"},
    {"&Z translation (m):", "The Z translation", "542.06"},
    {"X &rotation (\"):", "The X rotation", "0.15"},
    {"Y ro&tation (\"):", "The Y rotation", "0.247"},
    {"Z rotat&ion (\"):", "The Z rotation", "0.842"},
    {"&Scale difference (ppm):", "The scale difference", "-20.489"},
};
// What one unit of the dialog is in the record's: metres, radians, a pure number.
constexpr double kParameterUnit[7] = {1, 1, 1, kArcSecond, kArcSecond, kArcSecond, kPpm};

int32_t ChosenMethod(HWND dialog) {
  const LRESULT index = ChoiceIndex(dialog, kIdShiftMethod);
  return index >= 0 && index < static_cast<LRESULT>(std::size(kShiftMethods))
             ? kShiftMethods[index].code
             : kGeocentricTranslations;
}

// Only what the method takes is open: three translations, or all seven
// parameters; a grid, and the shift onward from the grid's datum.
void EnableForMethod(HWND dialog) {
  const int32_t method = ChosenMethod(dialog);
  const bool grid = IsGridShiftMethod(method);
  for (int id :
       {kIdGridFileLabel, kIdGridFile, kIdGridBrowse, kIdGridEllipsoidLabel, kIdGridEllipsoid}) {
    EnableWindow(GetDlgItem(dialog, id), grid);
  }
  for (int k = 0; k < 7; ++k) {
    const bool open = k < 3 || method != kGeocentricTranslations;
    EnableWindow(GetDlgItem(dialog, kIdFirstShiftParameter + k), open);
    EnableWindow(GetDlgItem(dialog, kIdFirstShiftParameter - 10 + k), open);
  }
  SetDlgItemTextA(dialog, kIdParameterNote,
                  grid ? "Shift onward from the grid's datum (position vector)"
                       : "Shift to the datum it leads to, as EPSG gives it");
}

void Fill(HWND dialog) {
  const Catalogues& c = ProgramCatalogues();
  for (int32_t p = 1; p <= ListedCount(ListRole::kEllipsoid); ++p) {
    const std::string entry = ListEntryText(ListRole::kEllipsoid, p);
    AddChoice(dialog, kIdDatumEllipsoid, entry);
    AddChoice(dialog, kIdGridEllipsoid, entry);
  }
  for (const ShiftMethod& method : kShiftMethods) AddChoice(dialog, kIdShiftMethod, method.text);
  SendDlgItemMessageA(dialog, kIdEntryName, EM_LIMITTEXT, kDatumNameWidth, 0);
  for (Shown& shown : shownParameters) shown = {};
  gridSource = "the user";
  int toCrs = kIdToWgs84;
  LRESULT method = 0;
  if (position > 0) {
    const DatumRecord& d = c.Datum(position);
    SetDlgItemTextA(dialog, kIdEntryName, TrimmedField(d.name).c_str());
    SetDlgItemTextA(dialog, kIdAreaOfUse, Trimmed(std::string(AreaOfUseText(d))).c_str());
    SendDlgItemMessageA(dialog, kIdDatumEllipsoid, CB_SETCURSEL,
                        static_cast<WPARAM>(d.ellipsoidIndex - 1), 0);
    for (size_t k = 0; k < std::size(kShiftMethods); ++k) {
      if (kShiftMethods[k].code == d.methodCode) method = static_cast<LRESULT>(k);
    }
    toCrs = d.toCrsCode == kCrsWgs72     ? kIdToWgs72
            : d.toCrsCode == kCrsWgs72be ? kIdToWgs72be
                                         : kIdToWgs84;
    if (const auto grid = ReadGridReference(FieldView(d.areaOfUse, kAreaOfUseWidth))) {
      SetDlgItemTextA(dialog, kIdGridFile, std::string(grid->file).c_str());
      gridSource = std::string(grid->source);
      for (int32_t p = 1; p <= ListedCount(ListRole::kEllipsoid); ++p) {
        if (SameName(FieldView(c.Ellipsoid(p).name, kEllipsoidNameWidth), grid->ellipsoid)) {
          SendDlgItemMessageA(dialog, kIdGridEllipsoid, CB_SETCURSEL, p - 1, 0);
          break;
        }
      }
    }
    const double values[7] = {d.translationX, d.translationY, d.translationZ,   d.rotationX,
                              d.rotationY,    d.rotationZ,    d.scaleDifference};
    for (int k = 0; k < 7; ++k) {
      Show(dialog, kIdFirstShiftParameter + k, shownParameters[k],
           FormatPlain(values[k] / kParameterUnit[k]), values[k]);
    }
  }
  if (position == 0) {
    // A new datum starts on the start side's ellipsoid.
    const std::string start = TrimmedField(startSide.ellipsoid.name);
    for (int32_t p = 1; p <= ListedCount(ListRole::kEllipsoid) && !start.empty(); ++p) {
      if (TrimmedField(c.Ellipsoid(p).name) == start) {
        SendDlgItemMessageA(dialog, kIdDatumEllipsoid, CB_SETCURSEL, p - 1, 0);
        break;
      }
    }
  }
  SendDlgItemMessageA(dialog, kIdShiftMethod, CB_SETCURSEL, static_cast<WPARAM>(method), 0);
  CheckRadioButton(dialog, kIdToWgs84, kIdToWgs72be, toCrs);
  WidenDroppedList(dialog, kIdDatumEllipsoid, 200);
  WidenDroppedList(dialog, kIdGridEllipsoid, 200);
  EnableForMethod(dialog);
}

void ChooseGridFile(HWND dialog) {
  char fileName[kFileNameCapacity] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = dialog;
  ofn.lpstrFilter = "Grid files (*.gsb, *.las)\0*.gsb;*.las\0All Files (*.*)\0*.*\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = fileName;
  ofn.nMaxFile = kFileNameCapacity;
  ofn.lpstrTitle = "Grid file (NTv2 .gsb, or the .las of a NADCON pair)";
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_FILEMUSTEXIST;
  ofn.lpfnHook = &ChooserPlacementHook;
  if (GetOpenFileNameA(&ofn)) SetDlgItemTextA(dialog, kIdGridFile, fileName);
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

// The grid file as typed or chosen: a path (to be copied into the user's
// folder) or a bare name found in the folders grids are looked for in. The
// files to copy are added to copies.
bool CheckGridFile(const std::string& text, int32_t method, std::string& name,
                   std::vector<std::filesystem::path>& copies) {
  if (text.empty()) {
    return Refuse(
        "The grid file must be chosen: an NTv2 .gsb file, or the .las file of a "
        "NADCON pair.");
  }
  const std::filesystem::path path(text);
  name = path.filename().string();
  if (name.find_first_of(";|") != std::string::npos) {
    return Refuse(
        "The grid file's name holds a \";\" or \"|\", which the catalogue files keep "
        "for themselves; rename the file.");
  }
  std::vector<std::string> names{name};
  if (method == kNadcon) {
    if (Lower(path.extension().string()) != ".las") {
      return Refuse(
          "The grid file of a NADCON pair must be its .las file (latitude shifts), "
          "with its .los file beside it.");
    }
    names.push_back(NadconLongitudeFile(name));
  }
  // The grid itself must be sound before it is named.
  const auto sound = [method](const std::string& found) {
    const std::string problem = GridFileProblem(method, found);
    return problem.empty() || Refuse("The grid file " + problem + ".");
  };
  if (!path.has_parent_path()) {
    const std::vector<std::string> folders = GridSearchFolders();
    for (const std::string& file : names) {
      if (!FindGridFile(file, folders)) {
        return Refuse("The grid file \"" + file + "\" is in none of the folders grids are " +
                      "looked for in (" + FolderListText(folders) + "); choose it with Browse.");
      }
    }
    return sound(*FindGridFile(name, folders));
  }
  for (const std::string& file : names) {
    std::error_code error;
    const std::filesystem::path from = path.parent_path() / file;
    if (!std::filesystem::is_regular_file(from, error)) {
      return Refuse("The grid file \"" + from.string() + "\" is not there.");
    }
    copies.push_back(from);
  }
  return sound(text);
}

// Grids are looked for in the user's folder: a chosen grid is copied there.
bool CopyGrids(const std::vector<std::filesystem::path>& copies) {
  const std::filesystem::path folder(UserEntriesFolder());
  std::error_code error;
  if (!copies.empty()) std::filesystem::create_directories(folder, error);
  for (const std::filesystem::path& from : copies) {
    const std::filesystem::path to = folder / from.filename();
    if (std::filesystem::equivalent(from, to, error)) continue;
    error.clear();
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
      return Refuse("The grid file \"" + from.string() + "\" cannot be copied into '" +
                    folder.string() + "': " + error.message() + ".");
    }
  }
  return true;
}

std::string ParameterRequirement(int k, const std::string& loaderRequirement) {
  if (k >= 3 && k < 6) {
    const std::string most = FormatPlain(RoundTo(1e-3 / kArcSecond - 5e-5, 4));  // 206.2648
    return "from -" + most + " to " + most + " seconds of arc (0.001 radians)";
  }
  if (k == 6) return "from -1000 to 1000 ppm";
  return loaderRequirement;
}

bool Check(HWND dialog, DatumRecord& record, std::vector<std::filesystem::path>& copies) {
  const Catalogues& c = ProgramCatalogues();
  const std::string name = Trimmed(ItemText(dialog, kIdEntryName));
  if (std::string problem = DatumNameProblem(c, name, position); !problem.empty()) {
    return Refuse(problem);
  }
  const std::string area = Trimmed(ItemText(dialog, kIdAreaOfUse));
  if (area.find(';') != std::string::npos) {
    return Refuse(
        "The area of use holds a \";\", which the catalogue files keep for "
        "themselves.");
  }
  const LRESULT ellipsoid = ChoiceIndex(dialog, kIdDatumEllipsoid);
  if (ellipsoid < 0) return Refuse("The ellipsoid must be chosen.");
  const int32_t method = ChosenMethod(dialog);
  const bool grid = IsGridShiftMethod(method);
  std::string gridFile;
  std::string gridEllipsoid;
  if (grid) {
    if (!CheckGridFile(Trimmed(ItemText(dialog, kIdGridFile)), method, gridFile, copies)) {
      return false;
    }
    const LRESULT target = ChoiceIndex(dialog, kIdGridEllipsoid);
    if (target < 0) return Refuse("The ellipsoid of the datum the grid leads to must be chosen.");
    gridEllipsoid = TrimmedField(c.Ellipsoid(static_cast<int32_t>(target + 1)).name);
  }
  double values[7] = {};
  for (int k = 0; k < 7; ++k) {
    if (k >= 3 && method == kGeocentricTranslations) break;
    const std::string text = ItemText(dialog, kIdFirstShiftParameter + k);
    const Shown& shown = shownParameters[k];
    if (!shown.text.empty() && text == shown.text) {
      values[k] = shown.value;
      continue;
    }
    // A grid's onward shift is mostly none (a grid to ETRS89 or WGS 84): a
    // box left empty is 0.
    if (grid && Trimmed(text).empty()) continue;
    const std::optional<double> value = ReadDecimal(text, nullptr);
    if (!value) return RefuseNumber(kShiftParameters[k].what, text, kShiftParameters[k].example);
    values[k] = *value * kParameterUnit[k];
  }
  const std::string areaField =
      grid ? gridFile + "|" + gridEllipsoid + "|" + gridSource + "|" + area : area;
  if (areaField.size() > kAreaOfUseWidth) {
    return Refuse("The area of use is " + std::to_string(areaField.size()) +
                  " characters long with the grid's file, ellipsoid and publisher; it may be at "
                  "most " +
                  std::to_string(kAreaOfUseWidth) + ".");
  }
  record = {};
  SetFixedField(record.name, name);
  SetFixedField(record.areaOfUse, areaField);
  record.toCrsCode = Checked(dialog, kIdToWgs72)     ? kCrsWgs72
                     : Checked(dialog, kIdToWgs72be) ? kCrsWgs72be
                                                     : kCrsWgs84;
  SetFixedField(record.ellipsoidName,
                TrimmedField(c.Ellipsoid(static_cast<int32_t>(ellipsoid + 1)).name));
  record.methodCode = method;
  record.translationX = values[0];
  record.translationY = values[1];
  record.translationZ = values[2];
  record.rotationX = values[3];
  record.rotationY = values[4];
  record.rotationZ = values[5];
  record.scaleDifference = values[6];
  const std::string line = CatalogueLine(record);
  DatumRecord read{};
  const std::string problem = CatalogueLineProblem(line, read);
  if (problem.empty()) return true;
  const Verdict verdict = ReadVerdict(problem);
  if (verdict.field >= 6 && verdict.field <= 12) {
    const int k = verdict.field - 6;
    return Refuse(std::string(kShiftParameters[k].what) + " must be " +
                  ParameterRequirement(k, verdict.requirement) + ".");
  }
  return RefuseLine(problem);
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Fill(dialog);
      return TRUE;
    case WM_NCACTIVATE:
      KeepFocus(dialog, wParam);
      return FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (id == kIdShiftMethod && code == CBN_SELCHANGE) {
        EnableForMethod(dialog);
      } else if (id == kIdGridBrowse && IsClick(code)) {
        ChooseGridFile(dialog);
      } else if (!AnswerOkOrCancel(dialog, id, stored, [&] {
                   DatumRecord record;
                   std::vector<std::filesystem::path> copies;
                   return Check(dialog, record, copies) && CopyGrids(copies) &&
                          StoreUserEntry(record, position);
                 })) {
        return FALSE;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace datum_dialog

// ================================================================ projection

namespace projection_dialog {

int32_t position = 0;
bool stored = false;
// By record field: what its edit box held, and the value it showed, kept
// through a change of method.
std::string fieldText[7];
Shown shownFields[7];
const ProjectionMethodEntry* shownMethod = nullptr;

constexpr int kIdNameLabel = 861;
constexpr int kIdDatumLabel = 863;
constexpr int kIdMethodLabel = 865;
constexpr int kIdParameterFrame = 866;

// Every method the library computes, by EPSG's name. EPSG's method codes
// have four digits.
const std::vector<const ProjectionMethodEntry*>& Methods() {
  static const std::vector<const ProjectionMethodEntry*> methods = [] {
    std::vector<const ProjectionMethodEntry*> all;
    for (int32_t code = 1000; code <= 9999; ++code) {
      if (const ProjectionMethodEntry* entry = FindProjectionMethodEntry(code)) {
        all.push_back(entry);
      }
    }
    std::sort(all.begin(), all.end(), [](const auto* a, const auto* b) {
      return std::string_view(a->name) < std::string_view(b->name);
    });
    return all;
  }();
  return methods;
}

const ProjectionMethodEntry* ChosenMethod(HWND dialog) {
  const LRESULT index = ChoiceIndex(dialog, kIdProjectionMethod);
  if (index < 0 || index >= static_cast<LRESULT>(Methods().size())) return nullptr;
  return Methods()[static_cast<size_t>(index)];
}

int32_t AngleFormat() {
  return CrsSideOf(Side::kStart).unitsAndFormats.angleFormat;
}

bool IsAngle(ParameterKind kind) {
  return kind == ParameterKind::kLatitude || kind == ParameterKind::kLongitude ||
         kind == ParameterKind::kAngle;
}

std::string Label(const MethodParameter& parameter) {
  std::string label = parameter.name;
  if (IsAngle(parameter.kind)) {
    label += AngleFormat() == kAngleFormatDms ? " (DDD.MMSSsss):" : " (degrees):";
  } else if (parameter.kind == ParameterKind::kLength) {
    label += " (metres):";
  } else {
    label += ":";
  }
  return label;
}

// "The latitude of natural origin", for a message.
std::string What(const MethodParameter& parameter) {
  std::string what = std::string("The ") + parameter.name;
  what[4] = static_cast<char>(std::tolower(static_cast<unsigned char>(what[4])));
  return what;
}

void SetField(ProjectionRecord& record, RecordField field, double value) {
  switch (field) {
    case RecordField::kScaleFactor:
      record.scaleFactor = value;
      break;
    case RecordField::kCentralMeridian:
      record.centralMeridian = value;
      break;
    case RecordField::kFalseEasting:
      record.falseEasting = value;
      break;
    case RecordField::kFalseNorthing:
      record.falseNorthing = value;
      break;
    case RecordField::kLatitudeOfOrigin:
      record.latitudeOfOrigin = value;
      break;
    case RecordField::kFirstStandardParallel:
      record.firstStandardParallel = value;
      break;
    case RecordField::kSecondStandardParallel:
      record.secondStandardParallel = value;
      break;
  }
}

// Keeps what the rows hold, by record field, before they change meaning.
void KeepRows(HWND dialog) {
  if (shownMethod == nullptr) return;
  int k = 0;
  for (const MethodParameter& parameter : shownMethod->Parameters()) {
    fieldText[static_cast<int>(parameter.field)] = ItemText(dialog, kIdFirstMethodParameter + k++);
  }
}

// The rows of the chosen method's parameters, in EPSG's order; the others
// hidden.
void ShowRows(HWND dialog) {
  KeepRows(dialog);
  shownMethod = ChosenMethod(dialog);
  const std::span<const MethodParameter> parameters =
      shownMethod ? shownMethod->Parameters() : std::span<const MethodParameter>();
  for (int k = 0; k < kMostMethodParameters; ++k) {
    const bool used = k < static_cast<int>(parameters.size());
    const HWND label = GetDlgItem(dialog, kIdFirstMethodParameter - 10 + k);
    const HWND edit = GetDlgItem(dialog, kIdFirstMethodParameter + k);
    if (used) {
      SetWindowTextA(label, Label(parameters[k]).c_str());
      SetWindowTextA(edit, fieldText[static_cast<int>(parameters[k].field)].c_str());
    }
    ShowWindow(label, used ? SW_SHOW : SW_HIDE);
    ShowWindow(edit, used ? SW_SHOW : SW_HIDE);
  }
}

std::string AngleText(double degrees) {
  return AngleFormat() == kAngleFormatDms ? FormatDms(degrees) : FormatPlain(degrees);
}

void Fill(HWND dialog) {
  const Catalogues& c = ProgramCatalogues();
  for (int32_t p = 1; p <= ListedCount(ListRole::kDatum); ++p) {
    AddChoice(dialog, kIdProjectionDatum, ListEntryText(ListRole::kDatum, p));
  }
  for (const ProjectionMethodEntry* method : Methods()) {
    AddChoice(dialog, kIdProjectionMethod,
              std::string(method->name) + " (EPSG " + std::to_string(method->code) + ")");
  }
  WidenDroppedList(dialog, kIdProjectionDatum, 420);
  SendDlgItemMessageA(dialog, kIdEntryName, EM_LIMITTEXT, kProjectionNameWidth, 0);
  for (std::string& text : fieldText) text.clear();
  for (Shown& shown : shownFields) shown = {};
  shownMethod = nullptr;
  // A new projection starts on the start side's datum, by Transverse Mercator.
  int32_t method = kTransverseMercator;
  int32_t datum = 0;
  const std::string startDatum = TrimmedField(startSide.datum.name);
  for (int32_t p = 1; p <= ListedCount(ListRole::kDatum) && !startDatum.empty(); ++p) {
    if (TrimmedField(c.Datum(p).name) == startDatum) {
      datum = p;
      break;
    }
  }
  if (position > 0) {
    const ProjectionRecord& r = c.Projection(position);
    SetDlgItemTextA(dialog, kIdEntryName, TrimmedField(r.name).c_str());
    datum = r.datumIndex;
    method = r.methodCode;
    if (const ProjectionMethodEntry* entry = FindProjectionMethodEntry(method)) {
      for (const MethodParameter& parameter : entry->Parameters()) {
        const double value = FieldValue(r, parameter.field);
        const std::string text = IsAngle(parameter.kind) ? AngleText(value) : FormatPlain(value);
        shownFields[static_cast<int>(parameter.field)] = {text, value};
        fieldText[static_cast<int>(parameter.field)] = text;
      }
    }
  }
  if (datum > 0) {
    SendDlgItemMessageA(dialog, kIdProjectionDatum, CB_SETCURSEL, static_cast<WPARAM>(datum - 1),
                        0);
  }
  const auto& methods = Methods();
  for (size_t k = 0; k < methods.size(); ++k) {
    if (methods[k]->code == method) {
      SendDlgItemMessageA(dialog, kIdProjectionMethod, CB_SETCURSEL, k, 0);
    }
  }
  SetDlgItemTextA(dialog, kIdParameterFrame,
                  AngleFormat() == kAngleFormatDms
                      ? "Parameters (angles as DDD.MMSSsss, the start side's format)"
                      : "Parameters (angles in decimal degrees, the start side's format)");
  ShowRows(dialog);
}

// An angle in the start side's format; nullopt for a text that is none.
std::optional<double> ReadAngle(const std::string& text) {
  double value = 0;
  if (!ReadWholeNumber(text, value)) return std::nullopt;
  if (AngleFormat() != kAngleFormatDms) return value;
  std::string dms = Trimmed(text);
  if (dms.find_first_of("eE") != std::string::npos) return std::nullopt;
  if (const size_t point = dms.find('.'); point != std::string::npos) {
    const std::string digits = dms.substr(point + 1) + "0000000";
    const int minutes = std::atoi(digits.substr(0, 2).c_str());
    const int thousandths = std::atoi(digits.substr(2, 5).c_str());
    if (minutes >= 60 || thousandths >= 60000) return std::nullopt;
  }
  if (ParseDms(dms, kDmsOther, value) != 0) return std::nullopt;
  return value;
}

const char* Expected(const MethodParameter& parameter) {
  if (IsAngle(parameter.kind)) {
    return AngleFormat() == kAngleFormatDms
               ? "an angle as DDD.MMSSsss (52.3015 is 52 degrees 30 minutes 15 seconds; "
                 "minutes and seconds below 60)"
               : "a number of degrees such as 52.5";
  }
  return parameter.kind == ParameterKind::kLength ? "a number of metres such as 400000"
                                                  : "a number such as 0.9996";
}

// The datum a projection finds by this one's name: the first whose name
// holds it.
int32_t DatumFoundByName(const Catalogues& c, const std::string& name) {
  std::string wanted = name;
  for (char& ch : wanted) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  for (int32_t p = 1; p <= c.datumCount; ++p) {
    std::string other = TrimmedField(c.Datum(p).name);
    for (char& ch : other) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (!other.empty() && other.find(wanted) != std::string::npos) return p;
  }
  return 0;
}

// The library takes the origin to the grid and back.
bool OriginComesBack(ProjectionRecord p, const EllipsoidRecord& ellipsoid) {
  p.semiMajorAxis = ellipsoid.semiMajorAxis;
  p.semiMinorAxis = ellipsoid.semiMinorAxis;
  const double latitude = p.latitudeOfOrigin;
  const double longitude = p.centralMeridian;
  double easting = 0, northing = 0, backLatitude = 0, backLongitude = 0;
  LATLONTOGRID(&p, latitude, longitude, &easting, &northing, p.centralMeridian);
  SetComputingFloatingPointMode();
  GRIDTOLATLON(&p, easting, northing, &backLatitude, &backLongitude, p.centralMeridian);
  SetComputingFloatingPointMode();
  if (!std::isfinite(backLatitude) || !std::isfinite(backLongitude)) return false;
  if (!(std::fabs(backLatitude - latitude) <= 1e-6)) return false;
  // At a pole every longitude is the origin.
  return std::fabs(latitude) > 90 - 1e-9 ||
         std::fabs(std::remainder(backLongitude - longitude, 360.0)) <= 1e-6;
}

bool Check(HWND dialog, ProjectionRecord& record) {
  const Catalogues& c = ProgramCatalogues();
  const std::string name = Trimmed(ItemText(dialog, kIdEntryName));
  if (std::string problem = ProjectionNameProblem(c, name, position); !problem.empty()) {
    return Refuse(problem);
  }
  const LRESULT datumIndex = ChoiceIndex(dialog, kIdProjectionDatum);
  if (datumIndex < 0) return Refuse("The datum must be chosen.");
  const int32_t datum = static_cast<int32_t>(datumIndex + 1);
  const std::string datumName = TrimmedField(c.Datum(datum).name);
  if (const int32_t found = DatumFoundByName(c, datumName); found != datum) {
    return Refuse("The datum \"" + datumName + "\" cannot be named apart from \"" +
                  TrimmedField(c.Datum(found).name) +
                  "\", whose name holds its name and comes first; choose another datum.");
  }
  const ProjectionMethodEntry* method = ChosenMethod(dialog);
  if (method == nullptr) return Refuse("The method must be chosen.");
  record = {};
  record.methodCode = method->code;
  SetFixedField(record.name, name);
  SetFixedField(record.datumName, datumName);
  record.scaleFactor = 1;
  int k = 0;
  for (const MethodParameter& parameter : method->Parameters()) {
    const std::string text = ItemText(dialog, kIdFirstMethodParameter + k++);
    const Shown& shown = shownFields[static_cast<int>(parameter.field)];
    std::optional<double> value;
    if (!shown.text.empty() && text == shown.text) {
      value = shown.value;
    } else if (IsAngle(parameter.kind)) {
      value = ReadAngle(text);
    } else {
      value = ReadDecimal(text, nullptr);
    }
    if (!value) {
      return Refuse(What(parameter) + " must be " + Expected(parameter) + WhatWasTyped(text));
    }
    SetField(record, parameter.field, *value);
  }
  ProjectionRecord read{};
  const std::string problem = CatalogueLineProblem(CatalogueLine(record), read);
  if (!problem.empty()) {
    constexpr RecordField kFieldOfLine[] = {
        RecordField::kScaleFactor,           RecordField::kLatitudeOfOrigin,
        RecordField::kCentralMeridian,       RecordField::kFalseEasting,
        RecordField::kFalseNorthing,         RecordField::kFirstStandardParallel,
        RecordField::kSecondStandardParallel};
    const Verdict verdict = ReadVerdict(problem);
    if (verdict.field >= 4 && verdict.field <= 10) {
      for (const MethodParameter& parameter : method->Parameters()) {
        if (parameter.field == kFieldOfLine[verdict.field - 4]) {
          return Refuse(What(parameter) + " must be " + verdict.requirement + ".");
        }
      }
    }
    return RefuseLine(problem);
  }
  const int32_t ellipsoid = c.Datum(datum).ellipsoidIndex;
  if (ellipsoid < 1 || ellipsoid > c.ellipsoidCount ||
      !OriginComesBack(record, c.Ellipsoid(ellipsoid))) {
    return Refuse(
        "The parameters do not make a usable projection: its origin does not come "
        "back.");
  }
  return true;
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Fill(dialog);
      return TRUE;
    case WM_NCACTIVATE:
      KeepFocus(dialog, wParam);
      return FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (id == kIdProjectionMethod && code == CBN_SELCHANGE) {
        ShowRows(dialog);
      } else if (!AnswerOkOrCancel(dialog, id, stored, [&] {
                   ProjectionRecord record;
                   return Check(dialog, record) && StoreUserEntry(record, position);
                 })) {
        return FALSE;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace projection_dialog

const char* Caption(int32_t position, const char* kind) {
  static std::string caption;
  caption = std::string(position > 0 ? "Change my " : "Add my own ") + kind;
  return caption.c_str();
}

}  // namespace

bool OpenEllipsoidDialog(HWND parent, int32_t position) {
  using namespace ellipsoid_dialog;
  ellipsoid_dialog::position = position;
  stored = false;
  DialogTemplate dialog(kDialogStyle, 0, 60, 60, 252, 124, Caption(position, "ellipsoid"));
  dialog.Control(kLabel, 0, 8, 10, 96, 8, kIdNameLabel, "STATIC", "&Name:")
      .Control(kEdit, WS_EX_CLIENTEDGE, 108, 8, 136, 12, kIdEntryName, "EDIT", "")
      .Control(kLabel, 0, 8, 28, 96, 8, kIdSemiMajorLabel, "STATIC", "Semi-&major axis a:")
      .Control(kEdit, WS_EX_CLIENTEDGE, 108, 26, 96, 12, kIdSemiMajorAxis, "EDIT", "")
      .Control(kOption | WS_GROUP | WS_TABSTOP, 0, 8, 44, 96, 12, kIdUseSemiMinorAxis, "BUTTON",
               "Semi-mi&nor axis b:")
      .Control(kOption, 0, 8, 62, 96, 12, kIdUseInverseFlattening, "BUTTON",
               "&Inverse flattening 1/f:")
      .Control(kEdit | WS_GROUP, WS_EX_CLIENTEDGE, 108, 44, 96, 12, kIdSemiMinorAxis, "EDIT", "")
      .Control(kEdit, WS_EX_CLIENTEDGE, 108, 62, 96, 12, kIdInverseFlattening, "EDIT", "")
      .Control(kLabel | WS_GROUP, 0, 8, 82, 96, 8, kIdUnitLabel, "STATIC", "&Unit of a and b:")
      .Control(kChoice, 0, 108, 80, 136, 120, kIdLengthUnit, "COMBOBOX", "");
  AddButtons(dialog, 252, 102);
  DialogBoxIndirectParamA(nullptr, dialog.get(), parent, &ellipsoid_dialog::Procedure, 0);
  return stored;
}

bool OpenDatumDialog(HWND parent, int32_t position) {
  using namespace datum_dialog;
  datum_dialog::position = position;
  stored = false;
  DialogTemplate dialog(kDialogStyle, 0, 40, 30, 340, 262, Caption(position, "datum"));
  dialog.Control(kLabel, 0, 8, 10, 112, 8, kIdNameLabel, "STATIC", "&Name:")
      .Control(kEdit, WS_EX_CLIENTEDGE, 124, 8, 208, 12, kIdEntryName, "EDIT", "")
      .Control(kLabel, 0, 8, 26, 112, 8, kIdAreaLabel, "STATIC", "&Area of use:")
      .Control(kEdit, WS_EX_CLIENTEDGE, 124, 24, 208, 12, kIdAreaOfUse, "EDIT", "")
      .Control(kLabel, 0, 8, 42, 112, 8, kIdEllipsoidLabel, "STATIC", "&Ellipsoid:")
      .Control(kChoice, 0, 124, 40, 208, 160, kIdDatumEllipsoid, "COMBOBOX", "")
      .Control(kLabel, 0, 8, 58, 112, 8, kIdMethodLabel, "STATIC", "&Method:")
      .Control(kChoice, 0, 124, 56, 208, 100, kIdShiftMethod, "COMBOBOX", "")
      .Control(kLabel, 0, 8, 74, 112, 8, kIdLeadsToLabel, "STATIC", "Leads to:")
      .Control(kOption | WS_GROUP | WS_TABSTOP, 0, 124, 72, 60, 12, kIdToWgs84, "BUTTON", "WGS &84")
      .Control(kOption, 0, 188, 72, 60, 12, kIdToWgs72, "BUTTON", "WGS &72")
      .Control(kOption, 0, 252, 72, 70, 12, kIdToWgs72be, "BUTTON", "WGS 72&BE")
      .Control(kFrame | WS_GROUP, 0, 8, 90, 324, 50, kIdGridFrame, "BUTTON", "Grid")
      .Control(kLabel, 0, 16, 104, 104, 8, kIdGridFileLabel, "STATIC", "Grid &file:")
      .Control(kEdit, WS_EX_CLIENTEDGE, 124, 102, 140, 12, kIdGridFile, "EDIT", "")
      .Control(kButton, 0, 268, 101, 56, 14, kIdGridBrowse, "BUTTON", "Br&owse...")
      .Control(kLabel, 0, 16, 122, 104, 8, kIdGridEllipsoidLabel, "STATIC",
               "Ellipsoid of target &datum:")
      .Control(kChoice, 0, 124, 120, 200, 160, kIdGridEllipsoid, "COMBOBOX", "")
      .Control(kFrame, 0, 8, 146, 324, 86, kIdParameterNote, "BUTTON", "");
  for (int k = 0; k < 7; ++k) {
    const short x = k < 3 || k == 6 ? 16 : 172;
    const short y = static_cast<short>(162 + 16 * (k == 6 ? 3 : k % 3));
    dialog
        .Control(kLabel, 0, x, static_cast<short>(y + 2), 90, 8,
                 static_cast<WORD>(kIdFirstShiftParameter - 10 + k), "STATIC",
                 kShiftParameters[k].label)
        .Control(kEdit, WS_EX_CLIENTEDGE, static_cast<short>(x + 92), y, 60, 12,
                 static_cast<WORD>(kIdFirstShiftParameter + k), "EDIT", "");
  }
  AddButtons(dialog, 340, 240);
  DialogBoxIndirectParamA(nullptr, dialog.get(), parent, &datum_dialog::Procedure, 0);
  return stored;
}

bool OpenProjectionDialog(HWND parent, int32_t position) {
  using namespace projection_dialog;
  projection_dialog::position = position;
  stored = false;
  DialogTemplate dialog(kDialogStyle, 0, 40, 30, 330, 224, Caption(position, "projection"));
  dialog.Control(kLabel, 0, 8, 10, 60, 8, kIdNameLabel, "STATIC", "&Name:")
      .Control(kEdit, WS_EX_CLIENTEDGE, 72, 8, 250, 12, kIdEntryName, "EDIT", "")
      .Control(kLabel, 0, 8, 26, 60, 8, kIdDatumLabel, "STATIC", "&Datum:")
      .Control(kChoice, 0, 72, 24, 250, 200, kIdProjectionDatum, "COMBOBOX", "")
      .Control(kLabel, 0, 8, 42, 60, 8, kIdMethodLabel, "STATIC", "&Method:")
      .Control(kChoice, 0, 72, 40, 250, 200, kIdProjectionMethod, "COMBOBOX", "")
      .Control(kFrame, 0, 8, 60, 314, 136, kIdParameterFrame, "BUTTON", "Parameters");
  for (int k = 0; k < kMostMethodParameters; ++k) {
    const short y = static_cast<short>(74 + 16 * k);
    dialog
        .Control(kLabel | SS_NOPREFIX, 0, 16, static_cast<short>(y + 2), 196, 8,
                 static_cast<WORD>(kIdFirstMethodParameter - 10 + k), "STATIC", "")
        .Control(kEdit, WS_EX_CLIENTEDGE, 216, y, 98, 12,
                 static_cast<WORD>(kIdFirstMethodParameter + k), "EDIT", "");
  }
  AddButtons(dialog, 330, 202);
  DialogBoxIndirectParamA(nullptr, dialog.get(), parent, &projection_dialog::Procedure, 0);
  return stored;
}
