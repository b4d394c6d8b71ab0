#include "value_conversion.h"

#include <windows.h>

#include "captured_messages.h"
#include "dms_text.h"
#include "entry_pages.h"
#include "fixed_text.h"
#include "number_text.h"
#include "point_transform.h"

namespace {

// The transform's own reading of the text, with any message it would show
// kept back: a message means the text is not a value.
bool ReadQuietly(const std::string& text, int32_t format, int32_t kind, double& value) {
  MessageCapture quiet;
  const bool read = ReadAngleField(text, format, kind, value);
  return read && quiet.messages().empty();
}

std::string Plain(double value) {
  return std::string(TrimBlanks(FormatGeneral(value)));
}

void Rewrite(PageId page, int box, const std::string& text) {
  if (text != BoxText(page, box)) SetDlgItemTextA(PageWindow(page), box, text.c_str());
}

}  // namespace

std::string LengthInUnit(const std::string& text, double fromFactor, double toFactor) {
  double value = 0;
  if (!ReadQuietly(text, kAngleFormatDecimal, kDmsOther, value)) return text;
  const long double metres = static_cast<long double>(value) * fromFactor;
  return Plain(static_cast<double>(metres / toFactor));
}

std::string AngleInFormat(const std::string& text, int32_t fromFormat, int32_t toFormat,
                          int32_t kind) {
  double degrees = 0;
  if (fromFormat == toFormat || !ReadQuietly(text, fromFormat, kind, degrees)) return text;
  return toFormat == kAngleFormatDms ? FormatDms(degrees) : Plain(degrees);
}

void ConvertTypedValues(Side side, const UnitsAndFormats& before) {
  if (side != Side::kStart || PageWindow(StartXY) == nullptr) return;
  const UnitsAndFormats& now = CrsSideOf(side).unitsAndFormats;
  if (now.lengthUnit != before.lengthUnit) {
    for (int box : {kStartEastingBox, kStartNorthingBox}) {
      Rewrite(StartXY, box,
              LengthInUnit(BoxText(StartXY, box), before.lengthFactor, now.lengthFactor));
    }
  }
  if (now.angleFormat != before.angleFormat) {
    Rewrite(StartLatLon, kStartLatitudeBox,
            AngleInFormat(BoxText(StartLatLon, kStartLatitudeBox), before.angleFormat,
                          now.angleFormat, kDmsLatitude));
    Rewrite(StartLatLon, kStartLongitudeBox,
            AngleInFormat(BoxText(StartLatLon, kStartLongitudeBox), before.angleFormat,
                          now.angleFormat, kDmsLongitude));
  }
}
