#include "core/flat/flat_record.h"

#include "base/error.h"
#include "base/text.h"
#include "core/flat/fields.h"
#include "core/flat/flat_check.h"

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

void FlatRecord::Note(const Field& field, const Error& e, const Allowed& allowed) {
  if (!check_) throw e;
  check_->Add(tag(), field, e, allowed, locale_);
}

FlatRecord& FlatRecord::Pad(const Field& value, int width) & {
  std::string scratch;
  std::string_view text;
  try {
    text = ValueBytes(value, locale_, scratch);
    if (text.size() > static_cast<size_t>(width)) throw Error(err::kInvalidArgument);
  } catch (const Error& e) {
    Note(value, e, {Allowed::Kind::Text, width, 0});
    bytes_.append(static_cast<size_t>(width), ' ');
    return *this;
  }
  bytes_.append(text);
  bytes_.append(static_cast<size_t>(width) - text.size(), ' ');
  return *this;
}

// SpaceIfEmpty without copying the value.
FlatRecord& FlatRecord::PadB(const Field& value, int width) & {
  return Pad(IsNonEmpty(value) ? value : Field(Blank(), value.table(), value.column()), width);
}

FlatRecord& FlatRecord::Trail(const Field& value) & {
  std::string scratch;
  std::string_view text;
  try {
    text = ValueBytes(value, locale_, scratch);
  } catch (const Error& e) {
    Note(value, e, {Allowed::Kind::Text, 0, 0});
    return *this;
  }
  bytes_.append(text);
  return *this;
}

FlatRecord& FlatRecord::TrailB(const Field& value) & {
  return Trail(IsNonEmpty(value) ? value : Field(Blank(), value.table(), value.column()));
}

FlatRecord& FlatRecord::Num(const Field& value, int integer_digits, int decimals) & {
  try {
    bytes_.append(
        FormatNumberField(value, static_cast<int16_t>(integer_digits), static_cast<int16_t>(decimals), locale_));
  } catch (const Error& e) {
    Note(value, e, {Allowed::Kind::Number, integer_digits, decimals});
    bytes_.append(static_cast<size_t>(std::max(integer_digits + decimals, 0)), '0');
  }
  return *this;
}

FlatRecord& FlatRecord::DatePad(const Field& value, int width) & {
  const Variant date(FormatYyyymmdd(value));
  return Pad(Field(date, value.table(), value.column()), width);
}

FlatRecord& FlatRecord::DateTrail(const Field& value) & {
  bytes_.append(FormatYyyymmdd(value));
  return *this;
}

FlatRecord& FlatRecord::Right(const Field& value, int width) & {
  const std::string text = std::string(static_cast<size_t>(width), ' ') + ToCp1252(ToText(value, locale_));
  bytes_.append(text.substr(text.size() - static_cast<size_t>(width)));
  return *this;
}

void FlatFile::Put(std::string_view bytes) {
  if (file_) file_->Write(bytes);
  else memory_.append(bytes);
}

void FlatFile::Write(const FlatRecord& record) {
  Put(record.bytes());
  Put("\r\n");
}

void FlatFile::Write(std::string_view literal_record) {
  std::string scratch;
  Put(Cp1252(literal_record, scratch));
  Put("\r\n");
}

}  // namespace sevrik
