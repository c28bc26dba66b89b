// Command lines with their Windows meaning.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sevrik {

// A program's argument text, what Windows hands over after the program name: the arguments
// joined by single blanks, an argument that holds a blank put between double quotes.
std::string ArgumentText(int argc, const char* const* argv);

// Cuts a command line into arguments by the rules of the Windows C runtime: blanks (and tabs)
// separate; double quotes group and are removed; 2n backslashes before a quote give n
// backslashes, 2n+1 give n backslashes and a literal quote; "" inside quotes is one quote.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace sevrik
