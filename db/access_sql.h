// What the Access driver makes of statements and values, where it differs from SQLite: the
// pieces of the ODBC adapter that follow its rules, apart so that they can be tested without
// the driver.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sevrik {

// A LIKE pattern as the Access driver must receive it so that "[" is the character itself:
// the driver reads "[" as the start of a character class ("[[]" is a class of one "[").
// "%" and "_" keep their meaning.
std::string AccessLikePattern(std::string_view pattern);

// Per "?" parameter of a statement, in order: whether it stands right after LIKE (a pattern).
// Text between single quotes is skipped.
std::vector<bool> LikeParameters(std::string_view sql);

// A Single (4-byte floating-point) value at its own precision: the shortest decimal that
// reads back as the same Single, as a double (0.1f gives 0.1, not 0.100000001490116).
double SingleValue(float value);

// The length of a UTF-8 text in UTF-16 units, as the driver counts a text column's length.
size_t Utf16Length(std::string_view utf8);

}  // namespace sevrik
