#include "interface/flat_record.h"

#include "interface/fields.h"
#include "platform/error.h"
#include "platform/text.h"

namespace sevrik {
namespace {

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The Windows-1252 bytes of a UTF-8 text; ASCII as it stands, without a copy.
std::string_view Cp1252(std::string_view utf8, std::string& scratch) {
  if (IsAscii(utf8)) return utf8;
  scratch = ToCp1252(utf8);
  return scratch;
}

// The value's text in Windows-1252 bytes; a text value without a copy where it can.
std::string_view ValueBytes(const Variant& value, const LocaleInfo& locale, std::string& scratch) {
  if (value.kind() == Variant::Kind::Text) return Cp1252(value.text(), scratch);
  std::string text = ToText(value, locale);
  scratch = IsAscii(text) ? std::move(text) : ToCp1252(text);
  return scratch;
}

const Variant& Blank() {
  static const Variant blank(" ");
  return blank;
}

}  // namespace

FlatRecord& FlatRecord::Lit(std::string_view text) & {
  std::string scratch;
  bytes_.append(Cp1252(text, scratch));
  return *this;
}

FlatRecord& FlatRecord::Pad(const Variant& value, int width) & {
  std::string scratch;
  const std::string_view text = ValueBytes(value, locale_, scratch);
  if (text.size() > static_cast<size_t>(width)) throw Error(err::kInvalidArgument);
  bytes_.append(text);
  bytes_.append(static_cast<size_t>(width) - text.size(), ' ');
  return *this;
}

// SpaceIfEmpty without copying the value.
FlatRecord& FlatRecord::PadB(const Variant& value, int width) & { return Pad(IsNonEmpty(value) ? value : Blank(), width); }

FlatRecord& FlatRecord::Trail(const Variant& value) & {
  std::string scratch;
  bytes_.append(ValueBytes(value, locale_, scratch));
  return *this;
}

FlatRecord& FlatRecord::TrailB(const Variant& value) & { return Trail(IsNonEmpty(value) ? value : Blank()); }

FlatRecord& FlatRecord::Num(const Variant& value, int integer_digits, int decimals) & {
  bytes_.append(FormatNumberField(value, static_cast<int16_t>(integer_digits), static_cast<int16_t>(decimals), locale_));
  return *this;
}

FlatRecord& FlatRecord::DatePad(const Variant& value, int width) & { return Pad(Variant(FormatYyyymmdd(value)), width); }

FlatRecord& FlatRecord::DateTrail(const Variant& value) & {
  bytes_.append(FormatYyyymmdd(value));
  return *this;
}

FlatRecord& FlatRecord::Right(const Variant& value, int width) & {
  const std::string text = std::string(static_cast<size_t>(width), ' ') + ToCp1252(ToText(value, locale_));
  bytes_.append(text.substr(text.size() - static_cast<size_t>(width)));
  return *this;
}

void FlatFile::Write(const FlatRecord& record) {
  file_.Write(record.bytes());
  file_.Write("\r\n");
}

void FlatFile::Write(std::string_view literal_record) {
  std::string scratch;
  file_.Write(Cp1252(literal_record, scratch));
  file_.Write("\r\n");
}

}  // namespace sevrik
