#include "program_index.h"

#include "catalogue.h"

namespace {

std::vector<EpsgIndexEntry>& Index() {
  static std::vector<EpsgIndexEntry> index;
  return index;
}

}  // namespace

void LoadProgramEpsgIndex(const std::string& folder) {
  std::string error;
  if (!LoadEpsgIndex(CatalogueFilePath(folder, kEpsgIndexFile), Index(), error)) Index().clear();
}

const std::vector<EpsgIndexEntry>& ProgramEpsgIndex() {
  return Index();
}

std::string OwnUnitOfProjection(const std::vector<EpsgIndexEntry>& index, std::string_view entry) {
  std::string unit;
  for (const EpsgIndexEntry& row : index) {
    if (row.kind != EpsgIndexEntry::Kind::kProjected || row.entry != entry) continue;
    if (row.unit == "metre") return row.unit;
    if (unit.empty()) unit = row.unit;
  }
  return unit;
}
