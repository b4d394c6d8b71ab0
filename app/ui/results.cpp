#include "results.h"

#include <cstring>

#include "entry_pages.h"
#include "fixed_text.h"
#include "message.h"
#include "program_state.h"
#include "side.h"
#include "units.h"

namespace {

constexpr int kTargetResultBoxes[][2] = {
    {TargetXY, kTargetEastingBox},      {TargetXY, kTargetNorthingBox},
    {TargetLatLon, kTargetLatitudeBox}, {TargetLatLon, kTargetLongitudeBox},
    {TargetLatLon, kTargetHeightBox},
};

struct SideBoxes {
  int easting, northing, latitude, longitude, height;
};

constexpr SideBoxes kStartBoxes{kStartEastingBox, kStartNorthingBox, kStartLatitudeBox,
                                kStartLongitudeBox, kStartHeightBox};
constexpr SideBoxes kTargetBoxes{kTargetEastingBox, kTargetNorthingBox, kTargetLatitudeBox,
                                 kTargetLongitudeBox, kTargetHeightBox};

void AddLine(std::string& text, Side side, const std::string& name, const std::string& value) {
  text +=
      std::string(SideName(side)) + " " + name + ":" + (value.empty() ? "" : " ") + value + "\r\n";
}

void AddSide(std::string& text, Side side) {
  const CrsSide& crs = CrsSideOf(side);
  const SideBoxes& boxes = side == Side::kStart ? kStartBoxes : kTargetBoxes;
  const PageId grid = side == Side::kStart ? StartXY : TargetXY;
  const PageId geographic = side == Side::kStart ? StartLatLon : TargetLatLon;
  auto box = [](PageId page, int id) { return std::string(TrimBlanks(BoxText(page, id))); };
  AddLine(text, side, "system", TrimmedField(crs.projection.name));
  AddLine(text, side, "datum", TrimmedField(crs.datum.name));
  AddLine(text, side, "ellipsoid", TrimmedField(crs.ellipsoid.name));
  if (!IsGeographic(crs.projection)) {
    const LengthUnit* unit = FindLengthUnit(crs.unitsAndFormats.lengthUnit);
    const std::string length = std::string(" (") + (unit ? unit->words : "") + ")";
    AddLine(text, side, "easting" + length, box(grid, boxes.easting));
    AddLine(text, side, "northing" + length, box(grid, boxes.northing));
  }
  const std::string angle =
      std::string(" (") + AngleFormatWords(crs.unitsAndFormats.angleFormat) + ")";
  AddLine(text, side, "latitude" + angle, box(geographic, boxes.latitude));
  AddLine(text, side, "longitude" + angle, box(geographic, boxes.longitude));
  AddLine(text, side, "height above ellipsoid (metre)", box(geographic, boxes.height));
}

}  // namespace

void ClearTargetResults() {
  for (const auto& [page, box] : kTargetResultBoxes) {
    const HWND window = PageWindow(static_cast<PageId>(page));
    if (window != nullptr) SetDlgItemTextA(window, box, "");
  }
}

std::string ResultsText() {
  std::string text;
  for (Side side : kBothSides) AddSide(text, side);
  return text;
}

void CopyResults(HWND owner) {
  const std::string text = ResultsText();
  if (!OpenClipboard(owner)) {
    ShowMessage(kClipboardBusyMessage, kCaptionWarning, MB_TASKMODAL | MB_ICONEXCLAMATION);
    return;
  }
  EmptyClipboard();
  if (const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (void* bytes = GlobalLock(block)) {
      std::memcpy(bytes, text.c_str(), text.size() + 1);
      GlobalUnlock(block);
      // The clipboard owns the block once it has taken it.
      if (SetClipboardData(CF_TEXT, block) == nullptr) GlobalFree(block);
    } else {
      GlobalFree(block);
    }
  }
  CloseClipboard();
}
