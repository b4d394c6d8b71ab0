// The plain-text report of one side's coordinate reference system: its
// projection, its datum with the shift parameters, and its ellipsoid.
#pragma once

#include <string>

#include "records.h"

// Lines end in a CR alone and values follow their labels after tabs, as the
// message box lays them out. Every "@" stands for the side ("Start" or
// "Target"), which the caller puts in. A projection named exactly "none" is
// geographic and shows only its name.
std::string CrsReportText(const ProjectionRecord& projection, const DatumRecord& datum,
                          const EllipsoidRecord& ellipsoid);
