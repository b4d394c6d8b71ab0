#include "own_entries.h"

#include <string>

#include "catalogue.h"
#include "message.h"
#include "user_entries.h"

void LoadUserEntriesShowingProblem() {
  std::string problem;
  if (LoadUserEntries(ProgramCatalogues(), UserEntriesFolder(), problem)) return;
  ShowMessage(problem + ". Your own entries are not loaded; the shipped catalogues are.",
              kCaptionWarning, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}
