#include "transform_command.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "entry_pages.h"
#include "list_transform.h"
#include "main_window.h"
#include "point_transform.h"
#include "program_state.h"
#include "progress_window.h"
#include "results.h"
#include "selection_lists.h"

namespace {

bool HasSelection(Side side, ListRole role) {
  return SendDlgItemMessageA(mainWindow, SelectionListId(side, role), CB_GETCURSEL, 0, 0) >= 0;
}

void WriteBox(PageId page, int box, const std::optional<std::string>& text) {
  if (text) SetDlgItemTextA(PageWindow(page), box, text->c_str());
}

void TransformTypedPoint() {
  const PointInput input{BoxText(StartXY, kStartEastingBox), BoxText(StartXY, kStartNorthingBox),
                         BoxText(StartLatLon, kStartLatitudeBox),
                         BoxText(StartLatLon, kStartLongitudeBox),
                         BoxText(StartLatLon, kStartHeightBox)};
  const PointOutput output = TransformPoint(startSide, targetSide, ProgramCatalogues(), input);
  // A failed check leaves no result of an earlier point behind.
  if (!output.targetLatitude) ClearTargetResults();
  WriteBox(StartLatLon, kStartLatitudeBox, output.startLatitude);
  WriteBox(StartLatLon, kStartLongitudeBox, output.startLongitude);
  WriteBox(StartLatLon, kStartHeightBox, output.startHeight);
  WriteBox(TargetLatLon, kTargetLatitudeBox, output.targetLatitude);
  WriteBox(TargetLatLon, kTargetLongitudeBox, output.targetLongitude);
  WriteBox(TargetLatLon, kTargetHeightBox, output.targetHeight);
  WriteBox(TargetXY, kTargetEastingBox, output.targetEasting);
  WriteBox(TargetXY, kTargetNorthingBox, output.targetNorthing);
}

// The names are read again at every run, so a name typed by hand counts. A
// long run shows its progress and can be cancelled.
void TransformListFiles() {
  const ListBoxes boxes{
      BoxText(StartProjList, kStartProjListBox), BoxText(StartSysList, kStartSysListBox),
      BoxText(TargetProjList, kTargetProjListBox), BoxText(TargetSysList, kTargetSysListBox)};
  RunWithProgressWindow(mainWindow, [&boxes](ListProgressFunction progress) {
    ListRunOptions options;
    options.progress = std::move(progress);
    TransformList(startSide, targetSide, ProgramCatalogues(), boxes, options);
  });
}

}  // namespace

void TransformCommand() {
  const Selections selections{HasSelection(Side::kStart, ListRole::kProjection),
                              HasSelection(Side::kStart, ListRole::kDatum),
                              HasSelection(Side::kStart, ListRole::kEllipsoid),
                              HasSelection(Side::kTarget, ListRole::kProjection),
                              HasSelection(Side::kTarget, ListRole::kDatum),
                              HasSelection(Side::kTarget, ListRole::kEllipsoid)};
  if (!CheckSelections(selections)) {
    ClearTargetResults();
    return;
  }
  if (pointMode == 0) {
    TransformListFiles();
  } else {
    TransformTypedPoint();
  }
}
