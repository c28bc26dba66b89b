// Command lines with their Windows meaning.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sevrik {

// A program's argument text, what Windows hands over after the program name: the arguments
// joined by single blanks, an argument that holds a blank (or a tab) put between double quotes
// as QuoteArgument puts it, so that SplitCommandLine cuts the text back into the same
// arguments. An empty argument stays empty (two blanks in a row).
std::string ArgumentText(int argc, const char* const* argv);

// The argument text of a whole command line as Windows keeps it for a program (the program
// name first): the program name is cut off, up to its closing quote when it starts with one,
// else up to the first blank or tab, and so are the blanks and tabs after it. The rest stands
// as it is, blanks inside and at the end included.
std::string ArgumentTextOf(std::string_view command_line);

// The argument text this program was started with: on Windows the system's own command line
// after the program name (ArgumentTextOf), elsewhere ArgumentText(argc, argv).
std::string ProgramArgumentText(int argc, const char* const* argv);

// Cuts a command line into arguments by the rules of the Windows C runtime: blanks (and tabs)
// separate; double quotes group and are removed; 2n backslashes before a quote give n
// backslashes, 2n+1 give n backslashes and a literal quote; "" inside quotes is one quote.
std::vector<std::string> SplitCommandLine(std::string_view line);

// The value between double quotes, escaped so that SplitCommandLine gives it back as exactly
// one argument equal to the value: a quote inside becomes \", the backslashes directly before
// a quote or before the closing quote are doubled, everything else stands as it is. For the
// arguments after the program word (the program word itself is cut by other rules). A NUL
// byte cannot pass a real command line.
std::string QuoteArgument(std::string_view value);

}  // namespace sevrik
