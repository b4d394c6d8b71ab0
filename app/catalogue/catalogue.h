// The three catalogues of ellipsoids, datums and projected coordinate
// reference systems, read once at start-up from "ellips.txt", "datums.txt" and
// "projct.txt" in the current directory.
//
// Catalogue positions are 1-based: entry p of a selection list (0-based, as the
// combo box counts) is position p + 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "records.h"

inline constexpr int32_t kEllipsoidCapacity = 64;
inline constexpr int32_t kDatumCapacity = 2048;
inline constexpr int32_t kProjectionCapacity = 4096;

inline constexpr const char* kEllipsoidFile = "ellips.txt";
inline constexpr const char* kDatumFile = "datums.txt";
inline constexpr const char* kProjectionFile = "projct.txt";

// Datum positions with a fixed role: the shifts from WGS 72 and from WGS 72BE
// to WGS 84, for every datum that leads to one of those two systems.
inline constexpr int32_t kWgs72DatumPosition = 601;
inline constexpr int32_t kWgs72beDatumPosition = 603;

// Fixed arrays, zero-filled when created (ProgramCatalogues(), or
// std::make_unique<Catalogues>(); too large for the stack). A count is -1 until
// its file is read, then the number of records loaded; positions beyond it
// stay zero.
struct Catalogues {
  int32_t ellipsoidCount = -1;
  int32_t datumCount = -1;
  int32_t projectionCount = -1;
  // The records of the shipped files; those after them are the user's own
  // (LoadUserEntries). -1 while the user's entries are not loaded.
  int32_t shippedEllipsoidCount = -1;
  int32_t shippedDatumCount = -1;
  int32_t shippedProjectionCount = -1;
  EllipsoidRecord ellipsoids[kEllipsoidCapacity];
  DatumRecord datums[kDatumCapacity];
  ProjectionRecord projections[kProjectionCapacity];

  EllipsoidRecord& Ellipsoid(int32_t position) { return ellipsoids[position - 1]; }
  DatumRecord& Datum(int32_t position) { return datums[position - 1]; }
  ProjectionRecord& Projection(int32_t position) { return projections[position - 1]; }
  const EllipsoidRecord& Ellipsoid(int32_t position) const { return ellipsoids[position - 1]; }
  const DatumRecord& Datum(int32_t position) const { return datums[position - 1]; }
  const ProjectionRecord& Projection(int32_t position) const { return projections[position - 1]; }
};

// The program's catalogues: created zero-filled on first use, kept for the run.
Catalogues& ProgramCatalogues();

// Reads the three files into the catalogues and resolves each datum's
// ellipsoid and each projection's datum. Every line is checked as it is read:
// the count must be the number of record lines; numbers plain decimals within
// the ranges of their fields; each ellipsoid and datum name must be found.
// ok is -1 unless a file is missing or holds a refused line: then its message
// (file, line, what is wrong) is shown, ok is 0, the files after it are not
// read, and the refused file's count is the number of records before that
// line. A file that cannot be read stops the loading too (ok 0), its fault
// reported by the error trap at the end. The files are read from folder, or
// from the current directory when it is empty.
void LoadCatalogues(Catalogues& catalogues, int32_t& ok, const std::string& folder = {});

// The user's own entries: files of the same line format in the user's data
// folder (UserEntriesFolder), loaded after the shipped catalogues.
inline constexpr const char* kUserEllipsoidFile = "my-ellips.txt";
inline constexpr const char* kUserDatumFile = "my-datums.txt";
inline constexpr const char* kUserProjectionFile = "my-projct.txt";

// Appends the user's entries of folder after the shipped records (whose
// positions do not move) and resolves their names, a user datum's ellipsoid
// and a user projection's datum among all records. A file that is not there
// holds no entries. A damaged file (a refused line, a name not found, more
// entries than room) loads none of the user's entries: false, and problem
// says which file and line and why. The shipped records stay loaded.
bool LoadUserEntries(Catalogues& catalogues, const std::string& folder, std::string& problem);

// The position is one of the user's own entries.
bool IsUserEllipsoid(const Catalogues& catalogues, int32_t position);
bool IsUserDatum(const Catalogues& catalogues, int32_t position);
bool IsUserProjection(const Catalogues& catalogues, int32_t position);

// The checks of the loader on one record line: "" when it is sound, else
// what is wrong ("the X translation (field 6) is ...; it must be ..."). The
// record is filled as far as it was read.
std::string CatalogueLineProblem(std::string_view line, EllipsoidRecord& record);
std::string CatalogueLineProblem(std::string_view line, DatumRecord& record);
std::string CatalogueLineProblem(std::string_view line, ProjectionRecord& record);

// The catalogue file of that name in folder ("" for the current directory).
std::string CatalogueFilePath(const std::string& folder, const char* name);

// The resolution steps of LoadCatalogues, over positions 1 to the counts.
// A datum gets the first ellipsoid whose name equals its ellipsoid name; a
// projection the first datum whose name contains its datum name (an empty one
// matches the first datum with a name). Names compare without their leading
// and trailing blanks and with a to z taken as upper case; without a match
// the index is 1.
void ResolveDatumEllipsoids(Catalogues& catalogues);
void ResolveProjectionDatums(Catalogues& catalogues);

// The hourglass while the catalogues load: the desktop program sets a hook that
// shows it (busy) and restores the arrow (not busy). nullptr: no cursor.
using BusyCursorHook = void (*)(bool busy);
void SetBusyCursorHook(BusyCursorHook hook);

// The entry texts of the selection lists: the trimmed name, for a datum
// followed by " - " and its trimmed area of use.
std::string DatumListEntry(const DatumRecord& datum);
std::string EllipsoidListEntry(const EllipsoidRecord& ellipsoid);
std::string ProjectionListEntry(const ProjectionRecord& projection);
