// The list engine: every line of an input file through the chain into one or
// two outputs, on every core.
//
// The input is read in chunks of whole lines; worker threads transform the
// chunks, each line into the text of its output lines, and the calling thread
// writes the texts in input order. The bytes written are those of a run on one
// thread, and so is where a run stops: at the first bad line in input order,
// the lines before it are written and none after. At most a few chunks per
// worker are in flight, so memory stays flat whatever the size of the file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "captured_messages.h"
#include "catalogue.h"
#include "list_files.h"
#include "program_state.h"

struct ListProgress {
  int64_t lines = 0;       // input lines written so far
  uint64_t bytesRead = 0;  // of the input
  uint64_t bytesTotal = 0;
};

// Called on the calling thread after each chunk is written; false cancels.
using ListProgressFunction = std::function<bool(const ListProgress&)>;

// A bad line that a run going on past bad lines leaves empty in its outputs;
// called on the calling thread, in input order.
using BadLineFunction =
    std::function<void(int64_t line, const std::vector<CapturedMessage>& messages)>;

// The coordinate cells of a delimited file's rows (0-based). Each row's
// coordinate cells are replaced by the results, every other cell is written as
// it was read. x is the easting or the longitude, y the northing or the
// latitude; z the height, in the side's length unit on a projected side and in
// metres on a geographic one. Without z, heights are 0 and no height is written.
struct CsvColumns {
  char delimiter = ',';
  int32_t x = 0;
  int32_t y = 1;
  int32_t z = -1;
};

struct ListEngineOptions {
  int threads = 0;  // 0: one per core
  ListProgressFunction progress;
  const char* lineEnd = "\r\n";  // of every output line
  // Null: the first bad line stops the run. Otherwise each bad line (and each
  // skipped one) gets an empty output line, so that output line N is input
  // line N, and is reported here.
  BadLineFunction badLine;
  // Added to the message of the first line other than blanks and comments
  // when that line cannot be read as coordinates (a header, say): what would
  // have worked.
  std::string firstLineHint;
  // The lines are the rows (after the header) of a delimited file. A bad row
  // that the run goes past keeps its other cells, its coordinate cells empty.
  std::optional<CsvColumns> csv;
};

enum class ListEnd {
  kCompleted,
  kStoppedAtLine,  // a line's check failed: its messages say why
  kCancelled,
  kFailed,  // reading or writing failed: errorNumber says how
};

struct ListResult {
  ListEnd end = ListEnd::kCompleted;
  int64_t linesWritten = 0;               // input lines whose output lines were written
  int64_t stopLine = 0;                   // 1-based, comments and blank lines counted
  int64_t badLines = 0;                   // bad lines gone past
  std::vector<CapturedMessage> messages;  // what the stopping line showed
  int32_t errorNumber = 0;
};

// Ends a run's two outputs (either may be unopened). A completed run's
// outputs, and a stopped or cancelled run's with the lines it wrote before it
// ended, take the place of the files they name: both are written out first,
// then both put in place. A run that failed, or that ended before writing a
// line, and the first failure of writing, leave the files as they were (as
// far as can still be helped). 0, or the error number: the run's own, or that
// of the output named by failed.
int32_t FinishOutputs(const ListResult& result, LineWriter& first, LineWriter& second,
                      const LineWriter** failed = nullptr);

inline constexpr const char* kLineTooLongMessage =
    "Line too long: a line of a list may hold at most 64 MiB.";

// Runs the lines of the open input (read in its own chunk size) through the chain. grid (projected
// target only) and geographic may be nullptr; the writers stay open. Messages of the lines are
// captured, never shown.
ListResult RunListEngine(const CrsSide& start, const CrsSide& target, const Catalogues& catalogues,
                         ChunkReader& input, LineWriter* grid, LineWriter* geographic,
                         const ListEngineOptions& options);

// Test seam: at most this many worker threads start, as under a process
// limit (negative: no limit).
void SetThreadStartLimitForTesting(int limit);
