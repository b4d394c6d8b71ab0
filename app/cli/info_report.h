// What `varnel info` prints of a system: the facts of the window's CRS report
// with their units. Lengths in the system's unit and in metres, angles in
// degrees and degrees-minutes-seconds, rotations in arc-seconds, the scale
// difference in parts per million, EPSG's names of the methods and
// parameters, and the EPSG codes that stand for each entry.
#pragma once

#include <string>
#include <vector>

#include "epsg_index.h"
#include "program_state.h"
#include "systems.h"

// Windows-1252 text, lines ending in LF.
std::string InfoReportText(const NamedSystem& system, const CrsSide& side,
                           const std::vector<EpsgIndexEntry>& index);
