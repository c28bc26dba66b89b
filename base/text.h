// Text at the system's file boundaries: Windows-1252 bytes outside, UTF-8 inside.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sevrik {

// UTF-8 to Windows-1252; a character without a Windows-1252 byte becomes "?", and so does
// each sequence that is no well-formed UTF-8 character (overlong forms, surrogates, code
// points above U+10FFFF, a sequence cut short, a stray continuation byte).
std::string ToCp1252(std::string_view utf8);
// Windows-1252 to UTF-8; every byte has a character.
std::string FromCp1252(std::string_view bytes);
// Number of Windows-1252 characters the UTF-8 text becomes: the length of ToCp1252(utf8).
size_t Cp1252Length(std::string_view utf8);

// Blanks (" " only) removed at both ends.
std::string_view Trim(std::string_view s);

// A field of the system's own "|"-separated files: "%", "|", CR and LF written as "%25", "%7C",
// "%0D" and "%0A". Unescaping turns a "%" not followed by one of the four codes into itself.
std::string EscapeField(std::string_view s);
std::string UnescapeField(std::string_view s);

// Cuts at every occurrence of the separator; n separators give n + 1 pieces.
std::vector<std::string> Split(std::string_view s, std::string_view separator);
// Every occurrence of `from` replaced by `to` (exact, case-sensitive).
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

std::string AsciiLower(std::string_view s);
std::string AsciiUpper(std::string_view s);

}  // namespace sevrik
