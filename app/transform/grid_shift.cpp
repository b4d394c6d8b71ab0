#include "grid_shift.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

#include "fixed_text.h"
#include "message.h"
#include "ostrak32.h"

namespace {

std::mutex gridMutex;
std::string namedFolder;
std::unique_ptr<GridStore> store;
// Ready shifts by the bytes of their datum record; kept for the run, so
// that a side's pointer stays good while any copy of the side lives.
std::map<std::string, std::unique_ptr<GridShift>> prepared;

GridStore& Store() {
  if (!store) store = std::make_unique<GridStore>(GridSearchFolders(namedFolder));
  return *store;
}

void Warn(const std::string& text) {
  ShowMessage(text, kCaptionWarning, MB_ICONEXCLAMATION | MB_TASKMODAL);
}

std::string Capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

std::string Degrees(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.9f", value);
  std::string shown(text);
  while (shown.size() > 1 && shown.back() == '0') shown.pop_back();
  if (shown.back() == '.') shown.pop_back();
  return shown;
}

// The grid's file read and checked, or the message shown and nullptr.
std::shared_ptr<const GridFile> ReadGrid(const std::string& file, const std::string& datumText,
                                         std::string_view source) {
  std::string problem;
  std::shared_ptr<const GridFile> grid = Store().Get(file, &problem);
  if (grid) return grid;
  if (problem == "not found") {
    Warn(Capitalised(datumText) + " shifts by the grid " + file +
         ", which is not installed. It was looked " +
         "for in: " + FolderListText(Store().folders()) + ". The grid is published by " +
         (source.empty() ? std::string("the agency that defines the datum") : std::string(source)) +
         "; put its file in one of these folders, or name the file's folder in the " +
         "environment variable VARNEL_GRIDS.");
  } else {
    Warn("The grid file " + file + " of " + datumText + " cannot be read: " + problem + ".");
  }
  return nullptr;
}

int64_t Length(const GridFile& grid) {
  return static_cast<int64_t>(grid.bytes.size());
}

bool GridIsSound(const GridShift& shift, const std::string& datumText) {
  const std::string reason = GridCheckReason(shift.methodCode, *shift.grid, shift.longitude.get());
  if (reason.empty()) return true;
  const bool nadcon = shift.methodCode == kNadcon;
  Warn((nadcon ? "The grid files " + shift.grid->path + " and " + shift.longitude->path
               : "The grid file " + shift.grid->path) +
       " of " + datumText + (nadcon ? " are" : " is") + " damaged: " + reason + ". Replace " +
       (nadcon ? "them" : "it") + " with the publisher's files.");
  return false;
}

}  // namespace

void SetNamedGridFolder(const std::string& folder) {
  const std::lock_guard<std::mutex> lock(gridMutex);
  namedFolder = folder;
  store.reset();
}

std::vector<std::string> ProgramGridFolders() {
  const std::lock_guard<std::mutex> lock(gridMutex);
  return Store().folders();
}

bool PrepareGridShift(CrsSide& side, bool startSide, const Catalogues& catalogues) {
  side.gridShift = nullptr;
  const DatumRecord& datum = side.datum;
  if (!IsGridShiftMethod(datum.methodCode)) return true;
  const std::lock_guard<std::mutex> lock(gridMutex);
  const std::string key(reinterpret_cast<const char*>(&datum), sizeof datum);
  if (const auto found = prepared.find(key); found != prepared.end()) {
    side.gridShift = found->second.get();
    return true;
  }
  const std::string datumText =
      std::string(startSide ? "the start datum " : "the target datum ") + TrimmedField(datum.name);
  const std::optional<GridReference> reference =
      ReadGridReference(FieldView(datum.areaOfUse, kAreaOfUseWidth));
  if (!reference) return false;  // the loader refuses such a record
  auto shift = std::make_unique<GridShift>();
  shift->methodCode = datum.methodCode;
  shift->file = std::string(reference->file);
  bool ellipsoidFound = false;
  for (int32_t e = 1; e <= catalogues.ellipsoidCount && !ellipsoidFound; ++e) {
    if (TrimBlanks(FieldView(catalogues.Ellipsoid(e).name, kEllipsoidNameWidth)) ==
        reference->ellipsoid) {
      shift->ellipsoid = catalogues.Ellipsoid(e);
      ellipsoidFound = true;
    }
  }
  if (!ellipsoidFound) {
    Warn(Capitalised(datumText) + " shifts by a grid to a datum on the ellipsoid " +
         std::string(reference->ellipsoid) + ", which ellips.txt does not hold.");
    return false;
  }
  shift->grid = ReadGrid(shift->file, datumText, reference->source);
  if (!shift->grid) return false;
  if (shift->methodCode == kNadcon) {
    shift->longitude = ReadGrid(NadconLongitudeFile(shift->file), datumText, reference->source);
    if (!shift->longitude) return false;
  }
  if (!GridIsSound(*shift, datumText)) {
    // Read again next time: the user may replace the file meanwhile.
    Store().Forget(shift->file);
    if (shift->longitude) Store().Forget(NadconLongitudeFile(shift->file));
    return false;
  }
  shift->extent = GridExtent(shift->methodCode, *shift->grid, shift->longitude.get()).value_or("");
  // The onward shift: the record's parameters, position vector convention.
  shift->onward = datum;
  shift->onward.methodCode = kPositionVector;
  side.gridShift = shift.get();
  prepared.emplace(key, std::move(shift));
  return true;
}

int32_t ShiftByGrid(const GridShift& shift, bool reverse, double latitude, double longitude,
                    double& latitudeShifted, double& longitudeShifted) {
  const GridFile& grid = *shift.grid;
  if (shift.methodCode == kNadcon) {
    const GridFile& second = *shift.longitude;
    return NADCONSHIFT(grid.bytes.data(), Length(grid), second.bytes.data(), Length(second),
                       latitude, longitude, reverse ? 1 : 0, &latitudeShifted, &longitudeShifted);
  }
  return NTV2SHIFT(grid.bytes.data(), Length(grid), latitude, longitude, reverse ? 1 : 0,
                   &latitudeShifted, &longitudeShifted);
}

std::string GridFaultMessage(const GridShift& shift, int32_t code, double latitude,
                             double longitude) {
  const std::string point =
      "The point at latitude " + Degrees(latitude) + ", longitude " + Degrees(longitude);
  switch (code) {
    case OSTRAK_GRID_OUTSIDE:
      return point + " lies outside the grid " + shift.file +
             (shift.extent.empty() ? std::string(".") : ", which covers " + shift.extent + ".");
    case OSTRAK_GRID_UNSETTLED:
      return point + " does not settle in the reverse shift through the grid " + shift.file + ".";
    default:
      return "The grid " + shift.file + " is damaged.";
  }
}
