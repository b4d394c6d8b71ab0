// List mode: every coordinate line of an input file through the chain into one
// or two output files.
#pragma once

#include <string>

#include "catalogue.h"
#include "list_engine.h"
#include "program_state.h"

// The texts of the four list pages' boxes.
struct ListBoxes {
  std::string startProjList;   // 803, input of grid coordinates
  std::string startSysList;    // 813, input of geographic coordinates
  std::string targetProjList;  // 804, output of grid coordinates
  std::string targetSysList;   // 814, output of geographic coordinates (optional)
};

struct ListRunOptions {
  int threads = 0;                // 0: one per core
  ListProgressFunction progress;  // may cancel the run
};

// Runs the list transformation after the selection checks. Reads and writes
// the program-wide list-file names. A line that stops the run shows its
// message with "Line N of FILE" below it.
void TransformList(CrsSide& start, CrsSide& target, const Catalogues& catalogues,
                   const ListBoxes& boxes, const ListRunOptions& options = {});
