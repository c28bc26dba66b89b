// The shim's command-line rules: "zul <profile> -p <arguments>" becomes
// "Ranuvel <profile> <arguments>" with ".zul" turned into ".ext".
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace sevrik::zul {

// Slots 1 to 20 hold the tokens; slot 0 is never used.
using Arguments = std::array<std::string, 21>;

// Cuts the argument text into tokens: blanks separate (several count as one); a token that
// begins with a double quote and has a closing one is the text between them (blanks kept,
// quotes dropped); a last token without a blank is taken whole, quotes and all; an opening
// quote without a closing one takes the rest of the text without that quote; a quote inside a
// token is an ordinary character. More than 20 tokens: error 9 with a text naming them.
Arguments SplitArguments(std::string_view text);

// "Ranuvel", then every non-blank slot but slot 2 after one blank, with every ".zul" (exact
// case) replaced by ".ext".
std::string TranslatorCommandLine(const Arguments& arguments);

}  // namespace sevrik::zul
