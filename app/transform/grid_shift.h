// Datum shifts by grid (NTv2, NADCON): a side whose datum record shifts by a
// grid is made ready once per transformation (its grid found and read, its
// onward shift and the ellipsoid of the grid's datum looked up), and the
// chain then takes each point through the grid in the geographic domain.
//
// The grids are read once and kept for the program's run; every worker of a
// list run shares them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue.h"
#include "grid_files.h"
#include "program_state.h"

struct GridShift {
  int32_t methodCode = 0;                     // kNtv2 or kNadcon
  std::string file;                           // as the record names it
  std::shared_ptr<const GridFile> grid;       // NTv2, or NADCON's latitude file
  std::shared_ptr<const GridFile> longitude;  // NADCON's longitude file
  std::string extent;                         // the box it covers, as GridExtent tells it
  DatumRecord onward{};         // from the grid's datum on to WGS 84 (or WGS 72, 72BE)
  EllipsoidRecord ellipsoid{};  // of the grid's datum
};

// The folder that `varnel --grids DIR` names, looked in before all others.
void SetNamedGridFolder(const std::string& folder);

// The folders looked in for grids, in order.
std::vector<std::string> ProgramGridFolders();

// Makes the side's grid shift ready and sets side.gridShift, or leaves it
// null for a datum that shifts by parameters. A grid that is not installed,
// cannot be read or is damaged, or an ellipsoid that the catalogue lacks,
// shows its message (naming the file, the folders looked in and who
// publishes the grid) and gives false.
bool PrepareGridShift(CrsSide& side, bool startSide, const Catalogues& catalogues);

// One point through the grid, degrees, east positive: forward from the
// datum of the side to the grid's datum, or back (reverse). An OSTRAK_GRID_*
// code; the point is written only when it is OSTRAK_GRID_SHIFTED.
int32_t ShiftByGrid(const GridShift& shift, bool reverse, double latitude, double longitude,
                    double& latitudeShifted, double& longitudeShifted);

// What to tell when a point could not go through the grid (code from
// ShiftByGrid), the point in degrees on the datum it was shifted from.
std::string GridFaultMessage(const GridShift& shift, int32_t code, double latitude,
                             double longitude);
