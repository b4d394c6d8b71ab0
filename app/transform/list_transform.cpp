#include "list_transform.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "errormessage.h"
#include "fixed_text.h"
#include "geodetic_chain.h"
#include "list_engine.h"
#include "list_files.h"
#include "message.h"
#include "number_text.h"
#include "point_transform.h"
#include "split_fields.h"

namespace {

constexpr uint32_t kWarningStyle = MB_ICONEXCLAMATION | MB_TASKMODAL;

// After the message of a first line that holds no coordinates: a header line,
// say, which a comment mark would have let pass.
constexpr const char* kFirstLineHint = " (comment lines start with #)";

void Warn(const std::string& text) {
  ShowMessage(text, kCaptionWarning, kWarningStyle);
}

// Opens an output list file, asking before replacing a file that this program
// did not write last under that name. False when the run is to end.
bool OpenOutput(const std::string& name, std::string& storedName, LineWriter& writer,
                ErrorTrap& trap) {
  if (ListFileExists(name) && name != TrimBlanks(storedName)) {
    const int32_t answer = ShowMessage("File " + name + " exists." + " Do you want to overwrite ?",
                                       kCaptionQuestion, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    if (answer != IDYES) return false;
  }
  storedName = name;
  if (const int32_t error = writer.Open(name); error != 0) {
    if (const std::string folder = MissingFolderOf(name); !folder.empty()) {
      Warn("Folder " + folder + " does not exist: " + name + " cannot be written.");
    } else {
      trap.Raise(error);
    }
    return false;
  }
  return true;
}

// An output that is the input, or both outputs naming one file, would
// destroy data: refused before anything is opened.
bool OutputsAreDistinct(const std::string& input, const std::string& gridOutput,
                        const std::string& geographicOutput) {
  for (const std::string* output : {&gridOutput, &geographicOutput}) {
    if (!output->empty() && SameFile(input, *output)) {
      Warn("File " + *output + " is the input file.");
      return false;
    }
  }
  if (!gridOutput.empty() && !geographicOutput.empty() && SameFile(gridOutput, geographicOutput)) {
    Warn("File " + geographicOutput + " is named for both output lists.");
    return false;
  }
  return true;
}

// One list run. Every file it opens is closed when it ends, however it ends.
class ListRun {
 public:
  ListRun(CrsSide& start, CrsSide& target, const Catalogues& catalogues, ErrorTrap& trap)
      : start_(start),
        target_(target),
        catalogues_(catalogues),
        trap_(trap),
        startProjected_(!IsGeographic(start.projection)),
        targetProjected_(!IsGeographic(target.projection)) {}

  void Run(const ListBoxes& boxes, const ListRunOptions& options);

 private:
  bool OpenInput(const ListBoxes& boxes);
  bool OpenOutputs();
  void Finish(const ListResult& result);

  CrsSide& start_;
  CrsSide& target_;
  const Catalogues& catalogues_;
  ErrorTrap& trap_;
  const bool startProjected_;
  const bool targetProjected_;
  std::string inputName_;
  std::string gridName_;
  std::string geographicName_;
  ChunkReader input_;
  LineWriter gridOutput_;
  LineWriter geographicOutput_;
};

void ListRun::Run(const ListBoxes& boxes, const ListRunOptions& options) {
  if (!OpenInput(boxes) || !OpenOutputs()) return;
  ListEngineOptions engine;
  engine.threads = options.threads;
  engine.progress = options.progress;
  engine.firstLineHint = kFirstLineHint;
  Finish(RunListEngine(start_, target_, catalogues_, input_, &gridOutput_, &geographicOutput_,
                       engine));
}

// Checks the input file and the systems, converts Unix text and opens the input.
bool ListRun::OpenInput(const ListBoxes& boxes) {
  std::string& storedInput = startProjected_ ? startProjListFile : startSysListFile;
  storedInput = startProjected_ ? boxes.startProjList : boxes.startSysList;
  inputName_ = TrimBlanks(storedInput);
  if (inputName_.empty()) {
    ShowSelectFirst(true, startProjected_ ? "XY file list" : "lat/lon file list");
    return false;
  }
  if (!ListFileExists(inputName_)) {
    Warn("File " + inputName_ + " not found.");
    return false;
  }
  if (!CheckSidesAreUsable(start_, target_, catalogues_)) return false;
  gridName_ = targetProjected_ ? TrimBlanks(boxes.targetProjList) : "";
  geographicName_ = TrimBlanks(boxes.targetSysList);
  if (!OutputsAreDistinct(inputName_, gridName_, geographicName_)) return false;
  int32_t conversionError = 0;
  ConvertListFile(inputName_, conversionError);
  if (conversionError != 0) return false;
  if (const int32_t error = input_.Open(inputName_); error != 0) {
    trap_.Raise(error);
    return false;
  }
  return true;
}

// The grid output for a projected target, and the geographic output when named.
bool ListRun::OpenOutputs() {
  if (targetProjected_) {
    if (gridName_.empty()) {
      ShowSelectFirst(false, "XY file");
      return false;
    }
    if (!OpenOutput(gridName_, targetProjListFile, gridOutput_, trap_)) return false;
  }
  return geographicName_.empty() ||
         OpenOutput(geographicName_, targetSysListFile, geographicOutput_, trap_);
}

// The outputs are put in place first, so that what a message reports is on
// disk: whole, with the lines before a line that stopped the run or before a
// cancel (none written: the files stay as they were). A failed read or write
// ends the run as a fault, never as a completion, and leaves the output files
// as they were; a stopped or cancelled run keeps the output names, so that a
// rerun replaces the files without asking.
void ListRun::Finish(const ListResult& result) {
  input_.Close();
  if (const int32_t error = FinishOutputs(result, gridOutput_, geographicOutput_)) {
    trap_.Raise(error);
    return;
  }
  switch (result.end) {
    case ListEnd::kStoppedAtLine:
      for (const CapturedMessage& message : result.messages) {
        ShowMessage(
            message.text + "\nLine " + std::to_string(result.stopLine) + " of " + inputName_,
            message.caption, message.style);
      }
      return;
    case ListEnd::kCancelled:
      Warn("Transformation cancelled: the first " + std::to_string(result.linesWritten) +
           " lines of " + inputName_ + " are in the output.");
      return;
    case ListEnd::kFailed:  // reported above
    case ListEnd::kCompleted:
      break;
  }
  targetProjListFile.clear();
  targetSysListFile.clear();
  ShowMessage("Transformation completed.", "Information.", MB_ICONASTERISK | MB_TASKMODAL);
}

}  // namespace

void TransformList(CrsSide& start, CrsSide& target, const Catalogues& catalogues,
                   const ListBoxes& boxes, const ListRunOptions& options) {
  ProgramErrorTrap trap("TransformCommand");
  trap.Guard([&] {
    ListRun run(start, target, catalogues, trap);
    run.Run(boxes, options);
  });
}
