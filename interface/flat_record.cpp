#include "interface/flat_record.h"

#include "interface/fields.h"
#include "platform/error.h"
#include "platform/text.h"

namespace sevrik {

FlatRecord& FlatRecord::Lit(std::string_view text) {
  bytes_.append(ToCp1252(text));
  return *this;
}

FlatRecord& FlatRecord::Pad(const Variant& value, int width) {
  const std::string text = ToCp1252(ToText(value, locale_));
  if (text.size() > static_cast<size_t>(width)) throw Error(err::kInvalidArgument);
  bytes_.append(text);
  bytes_.append(static_cast<size_t>(width) - text.size(), ' ');
  return *this;
}

FlatRecord& FlatRecord::PadB(const Variant& value, int width) { return Pad(SpaceIfEmpty(value), width); }

FlatRecord& FlatRecord::Trail(const Variant& value) {
  bytes_.append(ToCp1252(ToText(value, locale_)));
  return *this;
}

FlatRecord& FlatRecord::TrailB(const Variant& value) { return Trail(SpaceIfEmpty(value)); }

FlatRecord& FlatRecord::Num(const Variant& value, int integer_digits, int decimals) {
  bytes_.append(FormatNumberField(value, static_cast<int16_t>(integer_digits), static_cast<int16_t>(decimals), locale_));
  return *this;
}

FlatRecord& FlatRecord::DatePad(const Variant& value, int width) { return Pad(Variant(FormatYyyymmdd(value)), width); }

FlatRecord& FlatRecord::DateTrail(const Variant& value) {
  bytes_.append(FormatYyyymmdd(value));
  return *this;
}

FlatRecord& FlatRecord::Right(const Variant& value, int width) {
  const std::string text = std::string(static_cast<size_t>(width), ' ') + ToCp1252(ToText(value, locale_));
  bytes_.append(text.substr(text.size() - static_cast<size_t>(width)));
  return *this;
}

void FlatFile::Write(const FlatRecord& record) {
  file_.Write(record.bytes());
  file_.Write("\r\n");
}

void FlatFile::Write(std::string_view literal_record) {
  file_.Write(ToCp1252(literal_record));
  file_.Write("\r\n");
}

}  // namespace sevrik
