#include "user_entries.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "catalogue_folders.h"
#include "fixed_text.h"

namespace {

// The shortest decimal that reads back as the same double, never in
// exponent form, as the shipped files write them.
std::string Number(double value) {
  char text[400];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr;
  return std::string(text, end);
}

// The name's own problems, before it is compared with the others.
std::string OwnNameProblem(std::string_view name, size_t width) {
  const std::string_view trimmed = TrimBlanks(name);
  if (trimmed.empty()) return "The name is empty.";
  if (trimmed.size() > width) {
    return "The name is " + std::to_string(trimmed.size()) +
           " characters long; it may be at most " + std::to_string(width) + ".";
  }
  if (trimmed.find_first_of(";|") != std::string_view::npos) {
    return "The name holds a \";\" or \"|\", which the catalogue files keep for themselves.";
  }
  return "";
}

template <typename Record>
std::string TakenProblem(const Record* records, int32_t count, std::string_view name,
                         int32_t except, const char* kind) {
  const std::string wanted = CaseFoldedName(name);
  for (int32_t p = 1; p <= count; ++p) {
    if (p == except) continue;
    if (CaseFoldedName(FieldView(records[p - 1].name, sizeof records[p - 1].name)) == wanted) {
      return "The name \"" + std::string(TrimBlanks(name)) + "\" is taken by another " + kind +
             "; choose another.";
    }
  }
  return "";
}

}  // namespace

std::string UserEntriesFolder() {
  if (const std::string named = Environment("VARNEL_USER_DATA"); !named.empty()) return named;
#ifdef _WIN32
  const std::string roaming = Environment("APPDATA");
  return roaming.empty() ? std::string() : roaming + "\\varnel";
#else
  return UserCatalogueFolder();
#endif
}

std::string CatalogueLine(const EllipsoidRecord& r) {
  return std::to_string(r.code) + ";" + TrimmedField(r.name) + ";" + Number(r.semiMajorAxis) + ";" +
         Number(r.semiMinorAxis);
}

std::string CatalogueLine(const DatumRecord& r) {
  return TrimmedField(r.name) + ";" + TrimmedField(r.areaOfUse) + ";" +
         std::to_string(r.toCrsCode) + ";" + TrimmedField(r.ellipsoidName) + ";" +
         std::to_string(r.methodCode) + ";" + Number(r.translationX) + ";" +
         Number(r.translationY) + ";" + Number(r.translationZ) + ";" + Number(r.rotationX) + ";" +
         Number(r.rotationY) + ";" + Number(r.rotationZ) + ";" + Number(r.scaleDifference);
}

std::string CatalogueLine(const ProjectionRecord& r) {
  return TrimmedField(r.name) + ";" + TrimmedField(r.datumName) + ";" +
         std::to_string(r.methodCode) + ";" + Number(r.scaleFactor) + ";" +
         Number(r.latitudeOfOrigin) + ";" + Number(r.centralMeridian) + ";" +
         Number(r.falseEasting) + ";" + Number(r.falseNorthing) + ";" +
         Number(r.firstStandardParallel) + ";" + Number(r.secondStandardParallel);
}

std::string EllipsoidNameProblem(const Catalogues& c, std::string_view name, int32_t except) {
  std::string problem = OwnNameProblem(name, kEllipsoidNameWidth);
  if (problem.empty())
    problem = TakenProblem(c.ellipsoids, c.ellipsoidCount, name, except, "ellipsoid");
  return problem;
}

std::string ProjectionNameProblem(const Catalogues& c, std::string_view name, int32_t except) {
  std::string problem = OwnNameProblem(name, kProjectionNameWidth);
  if (problem.empty()) {
    problem = TakenProblem(c.projections, c.projectionCount, name, except, "projection");
  }
  if (problem.empty() && CaseFoldedName(name) == "NONE") {
    problem = "The name \"none\" stands for geographic coordinates; choose another.";
  }
  return problem;
}

std::string DatumNameProblem(const Catalogues& c, std::string_view name, int32_t except) {
  std::string problem = OwnNameProblem(name, kDatumNameWidth);
  if (!problem.empty()) return problem;
  const std::string wanted = CaseFoldedName(name);
  for (int32_t p = 1; p <= c.datumCount; ++p) {
    if (p == except) continue;
    const std::string other = CaseFoldedName(FieldView(c.Datum(p).name, kDatumNameWidth));
    if (other == wanted) {
      return "The name \"" + std::string(TrimBlanks(name)) +
             "\" is taken by another datum; choose another.";
    }
    if (other.find(wanted) != std::string::npos) {
      return "The name \"" + std::string(TrimBlanks(name)) + "\" is part of the datum name \"" +
             TrimmedField(c.Datum(p).name) +
             "\", so that a projection could not tell them apart; choose another.";
    }
  }
  return "";
}

namespace {

template <typename Record>
bool AmongUsers(const Record* records, int32_t shipped, int32_t count, const Record& record) {
  const std::string_view name = FieldView(record.name, sizeof record.name);
  for (int32_t p = std::max(shipped, 0) + 1; shipped >= 0 && p <= count; ++p) {
    if (FieldView(records[p - 1].name, sizeof record.name) == name) return true;
  }
  return false;
}

}  // namespace

std::string OwnEntriesText(const Catalogues& c, const ProjectionRecord& projection,
                           const DatumRecord& datum, const EllipsoidRecord& ellipsoid) {
  std::string own;
  const auto add = [&own](bool is, const char* what) {
    if (is) own += (own.empty() ? " the " : ", the ") + std::string(what);
  };
  add(AmongUsers(c.projections, c.shippedProjectionCount, c.projectionCount, projection),
      "projection");
  add(AmongUsers(c.datums, c.shippedDatumCount, c.datumCount, datum), "datum");
  add(AmongUsers(c.ellipsoids, c.shippedEllipsoidCount, c.ellipsoidCount, ellipsoid), "ellipsoid");
  return own.empty() ? own : "Your own entries:" + own + " (kept in " + UserEntriesFolder() + ")";
}

std::string UsersOfDatum(const Catalogues& c, int32_t datum) {
  std::string users;
  for (int32_t p = c.shippedProjectionCount + 1; p <= c.projectionCount; ++p) {
    if (c.Projection(p).datumIndex != datum) continue;
    users += (users.empty() ? "" : ", ") + TrimmedField(c.Projection(p).name);
  }
  return users;
}

std::string UsersOfEllipsoid(const Catalogues& c, int32_t ellipsoid) {
  std::string users;
  for (int32_t p = c.shippedDatumCount + 1; p <= c.datumCount; ++p) {
    if (c.Datum(p).ellipsoidIndex != ellipsoid) continue;
    users += (users.empty() ? "" : ", ") + TrimmedField(c.Datum(p).name);
  }
  return users;
}
