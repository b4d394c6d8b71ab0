#include "errortext.h"

#include <charconv>
#include <iterator>

namespace {

struct ErrorEntry {
  int32_t number;
  const char* description;
};

// Classic numbering of file and memory errors; searched in this order.
constexpr ErrorEntry kErrorTable[] = {
    {5, ": Illegal function call!"},
    {7, ": Subroutine ran out of memory!"},
    {9, ": Subscript or pointer out of range!"},
    {51, ": Internal system error (e.g. trying to modify a locked file)!"},
    {52, ": Bad file name or file number!"},
    {53, ": File not found!"},
    {54, ": Bad file mode (e.g expecting RANDOM or BINARY file)!"},
    {55, ": Selected file is already/still open!"},
    {58, ": Target file already exists!"},
    {61, ": Disk is full!"},
    {62, ": Reading past end of file or from file opened in OUPUT/APPEND mode!"},
    {63, ": Bad record number in GET or PUT!"},
    {64, ": Illegal characters in file name!"},
    {67, ": Too many files!"},
    {70, ": File operation failed - permission denied!"},
    {71, ": Disk is not ready!"},
    {72, ": Disk media error (e.g. bad blocks on disk)!"},
    {74, ": Attemp to rename across disks!"},
    {75, ": Path or file access error!"},
    {76, ": Specified path not found!"},
    {241, ": Far heap memory corruption detected!"},
    {242, ": Memory or string space corruption detected!"},
};

}  // namespace

const char* ErrorDescription(int32_t number) {
  for (const ErrorEntry& entry : kErrorTable) {
    if (entry.number == number) return entry.description;
  }
  return ": No description available.";
}

std::string ErrorMessageText(std::string_view prefix, std::string_view routine, int32_t number) {
  char digits[16];
  // A whole number as the general number text writes it: blank or minus sign, then digits.
  digits[0] = number < 0 ? '-' : ' ';
  const int64_t magnitude = number < 0 ? -static_cast<int64_t>(number) : number;
  const auto result = std::to_chars(digits + 1, std::end(digits), magnitude);
  std::string text;
  text.reserve(prefix.size() + routine.size() + 96);
  text.append(prefix);
  text.append(digits, result.ptr);
  text.append(" in ");
  text.append(routine);
  text.append(ErrorDescription(number));
  return text;
}
