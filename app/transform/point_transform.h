// The transform command's checks common to both modes, and point mode: one
// coordinate typed into the start boxes, transformed into the target boxes.
#pragma once

#include <optional>
#include <string>

#include "catalogue.h"
#include "geodetic_chain.h"
#include "program_state.h"

// Which of the six selection lists have a selection.
struct Selections {
  bool startProjection = false;
  bool startDatum = false;
  bool startEllipsoid = false;
  bool targetProjection = false;
  bool targetDatum = false;
  bool targetEllipsoid = false;
};

// Shows the message for the first list without a selection and gives false.
bool CheckSelections(const Selections& selections);

// The texts of the start boxes that point mode reads.
struct PointInput {
  std::string easting;    // 801
  std::string northing;   // 802
  std::string latitude;   // 808
  std::string longitude;  // 807
  std::string height;     // 809
};

// The texts point mode writes; a box without a value keeps its text.
struct PointOutput {
  std::optional<std::string> startLatitude;    // 808, projected start only
  std::optional<std::string> startLongitude;   // 807
  std::optional<std::string> startHeight;      // 809
  std::optional<std::string> targetLatitude;   // 810
  std::optional<std::string> targetLongitude;  // 811
  std::optional<std::string> targetHeight;     // 812
  std::optional<std::string> targetEasting;    // 805, projected target only
  std::optional<std::string> targetNorthing;   // 806
};

// Checks the input in order, showing the first problem's message (then no
// result is given), and runs the chain. The sides' projection records get
// their ellipsoid's axes.
PointOutput TransformPoint(CrsSide& start, CrsSide& target, const Catalogues& catalogues,
                           const PointInput& input);

// Messages of the transform command.
inline constexpr const char* kBadCharacterMessage = "Bad character in numeric field.";
inline constexpr const char* kPoleMessage = "Program does not work for latitude +/- 90 degrees";
inline constexpr const char* kLatitudeRangeMessage = "Latitude input error! Latitude > 90 degrees!";
inline constexpr const char* kLongitudeRangeMessage =
    "Longitude input error! Longitude beyond +/- 180 degrees!";
inline constexpr const char* kOutsideProjectionMessage =
    "Easting and northing lie too far outside the projection's area: transformed back from "
    "their latitude and longitude, they would miss by more than 1 m.";
inline constexpr const char* kNoFiniteResultMessage =
    "The transformation gives no finite result for this point: nothing is written for it.";

// "Please select a start <what> first." / "Please select a target <what> first.", as a warning.
void ShowSelectFirst(bool startSide, const char* what);

// Every character is one of " +-.1234567890".
bool HasOnlyNumberCharacters(std::string_view text);

// Reads a number field: only number characters making one number (a digit,
// nothing left over), and a finite value (a number too large for a double is
// as bad as a bad character). Shows the bad character message and gives
// false otherwise.
bool ReadNumberField(std::string_view text, double& value);
// An angle field in an angle format: decimal degrees as ReadNumberField, or a
// DMS text (as a number text first) through ParseDms with its kind.
bool ReadAngleField(std::string_view text, int32_t angleFormat, int32_t kind, double& degrees);
// The same check for a value already read (a DMS angle).
bool CheckFinite(double value);

// Refuses, with a message, a side whose records this program cannot compute
// with: an unknown projection method on a projected side, an unknown datum
// shift method (of the side's datum or of the WGS 72 or WGS 72BE shift it
// leads through), or ellipsoid axes that are not positive numbers. A side
// whose datum shifts by grid has its grid made ready (PrepareGridShift): a
// grid that is not installed or is damaged refuses the side too.
bool CheckSidesAreUsable(CrsSide& start, CrsSide& target, const Catalogues& catalogues);

// Shows why a point could not go through a side's grid, when it could not;
// false then.
bool CheckGridFault(const ChainValues& v);

// Shows the pole or range message for a latitude that cannot be transformed; false then.
bool CheckLatitude(double latitude);
// Shows the range message for a longitude beyond +/- 180 degrees; false then.
bool CheckLongitude(double longitude);
// Shows the message for grid coordinates whose latitude and longitude (just
// found by InverseProjection) do not lead back to them; false then.
bool CheckInverseComesBack(const CrsSide& start, const ChainValues& v);
