// The user's own ellipsoids, datums and projections: kept in files of their
// own in the user's data folder, apart from the shipped catalogues that an
// update replaces, and loaded after them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue.h"

// Where the user's entries live: $XDG_DATA_HOME/varnel (else
// ~/.local/share/varnel); %APPDATA%\varnel on Windows, which roams with the
// user. $VARNEL_USER_DATA names another folder. "" when none can be formed.
std::string UserEntriesFolder();

// One record as a line of its file (no line end): trimmed texts, numbers as
// the shortest decimal that reads back as the same double.
std::string CatalogueLine(const EllipsoidRecord& record);
std::string CatalogueLine(const DatumRecord& record);
std::string CatalogueLine(const ProjectionRecord& record);

// Why a name cannot be a new entry's of that kind, or "" when it can: empty,
// too long, holding ";" or "|", or already taken (a to z compared without
// case). A datum's name must also not be part of another datum's name,
// since a projection finds the first datum whose name holds its datum name.
// except: the position of the entry being changed (0 for a new one).
std::string EllipsoidNameProblem(const Catalogues& catalogues, std::string_view name,
                                 int32_t except = 0);
std::string DatumNameProblem(const Catalogues& catalogues, std::string_view name,
                             int32_t except = 0);
std::string ProjectionNameProblem(const Catalogues& catalogues, std::string_view name,
                                  int32_t except = 0);

// The user's entries that use an entry of their own: the user projections on
// a datum, the user datums on an ellipsoid (their names, trimmed, in order).
std::string UsersOfDatum(const Catalogues& catalogues, int32_t datum);
std::string UsersOfEllipsoid(const Catalogues& catalogues, int32_t ellipsoid);

// "Your own entries: the projection, the datum (kept in FOLDER)": which of a
// side's records are the user's own (found by name among them), or "".
std::string OwnEntriesText(const Catalogues& catalogues, const ProjectionRecord& projection,
                           const DatumRecord& datum, const EllipsoidRecord& ellipsoid);

// The mark a list entry and the CRS report give the user's own entries.
inline constexpr const char* kUserEntryMark = " (my own)";
