#include <cerrno>
#include <cstddef>

#include <gtest/gtest.h>

#include "errormessage.h"
#include "errortext.h"
#include "message_recorder.h"
#include "records.h"

namespace {

TEST(Records, PackedSizesAndFieldOffsets) {
  EXPECT_EQ(sizeof(EllipsoidRecord), 84u);
  EXPECT_EQ(sizeof(DatumRecord), 1220u);
  EXPECT_EQ(sizeof(ProjectionRecord), 208u);
  // The order of the fields fixes their offsets.
  EXPECT_EQ(offsetof(EllipsoidRecord, semiMajorAxis), 68u);
  EXPECT_EQ(offsetof(DatumRecord, toCrsCode), 1088u);
  EXPECT_EQ(offsetof(DatumRecord, translationX), 1156u);
  EXPECT_EQ(offsetof(DatumRecord, methodCode), 1212u);
  EXPECT_EQ(offsetof(DatumRecord, ellipsoidIndex), 1216u);
  EXPECT_EQ(offsetof(ProjectionRecord, semiMajorAxis), 132u);
  EXPECT_EQ(offsetof(ProjectionRecord, latitudeOfOrigin), 180u);
  EXPECT_EQ(offsetof(ProjectionRecord, datumIndex), 204u);
}

struct TextCase {
  int32_t number;
  const char* routine;
  const char* expected;
};

TEST(ErrorMessageText, ProgramAndLibraryTexts) {
  const TextCase cases[] = {
      {62, "LoadCatalogues",
       "DLL/subroutine error 62 in LoadCatalogues: Reading past end of file or from file opened "
       "in OUPUT/APPEND mode!"},
      {53, "ConvertListFile", "DLL/subroutine error 53 in ConvertListFile: File not found!"},
      {6, "X", "DLL/subroutine error 6 in X: No description available."},
      {11, "X", "DLL/subroutine error 11 in X: No description available."},
      {-3, "X", "DLL/subroutine error-3 in X: No description available."},
      {74, "", "DLL/subroutine error 74 in : Attemp to rename across disks!"},
      {242, "R", "DLL/subroutine error 242 in R: Memory or string space corruption detected!"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(ErrorMessageText(kProgramErrorPrefix, c.routine, c.number), c.expected);
  }
  EXPECT_EQ(ErrorMessageText(kLibraryErrorPrefix, "LATLONTOLCC", 5),
            "DLL error 5 in LATLONTOLCC: Illegal function call!");
}

TEST(ErrorMessageText, EveryTableEntryHasItsOwnDescription) {
  const int32_t numbers[] = {5,  7,  9,  51, 52, 53, 54, 55, 58, 61,  62,
                             63, 64, 67, 70, 71, 72, 74, 75, 76, 241, 242};
  for (int32_t n : numbers) {
    const std::string d = ErrorDescription(n);
    EXPECT_EQ(d.rfind(": ", 0), 0u) << n;
    EXPECT_NE(d, ": No description available.") << n;
  }
  EXPECT_STREQ(ErrorDescription(0), ": No description available.");
}

TEST(ProgramErrorTrap, ReportsOnceAtTheEndWithTheLaterNumber) {
  MessageRecorder recorder;
  {
    ProgramErrorTrap trap("FormatDms");
    trap.Raise(61);
    trap.Raise(70);
    EXPECT_TRUE(recorder.messages().empty());  // nothing before the routine ends
  }
  ASSERT_EQ(recorder.messages().size(), 1u);
  const RecordedMessage& m = recorder.messages()[0];
  EXPECT_EQ(m.text,
            "DLL/subroutine error 70 in FormatDms: File operation failed - permission denied!");
  EXPECT_EQ(m.caption, "<default>");  // no caption of its own
  EXPECT_EQ(m.style, MB_OK);          // OK only, no icon, not task-modal
  EXPECT_EQ(programErrorNumber, 70);
}

TEST(ProgramErrorTrap, ZeroIsNeverShownAndClearsTheVariable) {
  MessageRecorder recorder;
  programErrorNumber = 99;
  { ProgramErrorTrap trap("SplitFields"); }
  EXPECT_TRUE(recorder.messages().empty());
  EXPECT_EQ(programErrorNumber, 0);
}

TEST(ProgramErrorTrap, ReportsIntoAGivenVariable) {
  MessageRecorder recorder;
  int32_t errorNumber = -5;
  {
    ErrorTrap trap("ConvertListFile", errorNumber, &ERRORMESSAGE);
    trap.Raise(61);
  }
  EXPECT_EQ(errorNumber, 61);
  EXPECT_EQ(recorder.messages().size(), 1u);
}

TEST(ErrorNumbers, FromFailedFileOperations) {
  EXPECT_EQ(ErrorNumberFromErrno(ENOENT), 53);
  EXPECT_EQ(ErrorNumberFromErrno(ENOSPC), 61);
  EXPECT_EQ(ErrorNumberFromErrno(EACCES), 70);
  EXPECT_EQ(ErrorNumberFromErrno(EROFS), 70);
  EXPECT_EQ(ErrorNumberFromErrno(ENOMEM), 7);
  EXPECT_EQ(ErrorNumberFromErrno(EMFILE), 67);
  EXPECT_EQ(ErrorNumberFromErrno(EXDEV), 74);
  EXPECT_EQ(ErrorNumberFromErrno(ENOTDIR), 76);
}

TEST(MessageFunction, WithoutAFrontEndQuestionsAreAnsweredNo) {
  InstallMessageFunction(nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessage("File X exists. Do you want to overwrite ?", kCaptionQuestion,
                        MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL),
            IDNO);
  EXPECT_EQ(ShowMessage("Transformation completed.", "Information.", MB_ICONASTERISK), IDOK);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Please confirm.: File X exists. Do you want to overwrite ?\n"),
            std::string::npos);
  EXPECT_NE(err.find("Information.: Transformation completed.\n"), std::string::npos);
}

TEST(MessageFunction, RecorderAnswersFromItsScript) {
  MessageRecorder recorder;
  recorder.AnswerNext(IDYES);
  EXPECT_EQ(ShowMessage("q1", kCaptionQuestion, MB_YESNO), IDYES);
  EXPECT_EQ(ShowMessage("q2", kCaptionQuestion, MB_YESNO), IDNO);
  EXPECT_EQ(ShowMessage("w", kCaptionWarning, MB_ICONEXCLAMATION | MB_TASKMODAL), IDOK);
  EXPECT_EQ(recorder.texts(), (std::vector<std::string>{"q1", "q2", "w"}));
}

}  // namespace
