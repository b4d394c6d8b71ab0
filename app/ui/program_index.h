// The EPSG code index as the window uses it: loaded beside the catalogues at
// start-up. Without it, code search finds nothing and a chosen system leaves
// its side's length unit alone; nothing is said about it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "epsg_index.h"

inline constexpr const char* kEpsgIndexFile = "epsg-index.txt";

// Reads the index from the catalogues' folder ("" for the current one); a
// missing or broken file leaves the index empty.
void LoadProgramEpsgIndex(const std::string& folder);
const std::vector<EpsgIndexEntry>& ProgramEpsgIndex();

// EPSG's name of the unit of a projection entry's own system, or "" when the
// index has no projected row for the entry. An entry that took in the foot
// variants of its grid keeps their rows with their feet, while its own code is
// the metre one: so the metre when any row of the entry is in metres, else
// the unit of its rows.
std::string OwnUnitOfProjection(const std::vector<EpsgIndexEntry>& index, std::string_view entry);
