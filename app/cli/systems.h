// Coordinate reference systems named on the command line: a projection entry,
// a datum entry taken as a geographic system, or an EPSG code that some entry
// stands for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue.h"
#include "epsg_index.h"
#include "program_state.h"

struct NamedSystem {
  int32_t projection = 1;  // catalogue positions, 1-based; 1 is "none"
  int32_t datum = 0;
  int32_t lengthUnit = 0;  // the system's own unit (a LengthUnit id), 0: metre
  std::string unitName;    // EPSG's name of that unit, when the code gave one
};

struct Resolution {
  std::vector<NamedSystem> matches;     // exactly one when resolved
  std::vector<std::string> candidates;  // entry names, for the message (terminal characters)
  std::string leftOut;                  // a code left out: why (terminal characters)
  bool foreignCharacters = false;       // the text holds what no Windows-1252 name can
};

// The text as typed (the terminal's characters). Names compare
// case-insensitively, whole; "EPSG:NNNN" (any case) is a code, and so are
// bare digits that name no entry.
Resolution ResolveSystem(const std::string& text, const Catalogues& catalogues,
                         const std::vector<EpsgIndexEntry>& index);

// A datum entry by exact name or by the EPSG code of a geographic system or
// transformation.
Resolution ResolveDatum(const std::string& text, const Catalogues& catalogues,
                        const std::vector<EpsgIndexEntry>& index);

// The side as the window builds it from its selections: the projection, its
// datum (or the one given), and the datum's ellipsoid.
CrsSide SideOf(const NamedSystem& system, int32_t datumPosition, const Catalogues& catalogues);

// The id of the length unit that a short or full name names, or 0.
int32_t LengthUnitNamed(const std::string& name);
// The short names, for help texts.
std::string LengthUnitNames();
