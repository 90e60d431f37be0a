// Splitting of a tool's command line.  The companions look only at their first
// parameter, and the launcher starts them with one option, so the rule is kept
// small: blanks and control characters separate parameters, double quotes
// group characters (spaces included) and are dropped.
#pragma once

#include <string>
#include <string_view>

namespace kb::tools {

// The first parameter after the program name of a full command line (as the
// system hands it over, program name first); empty when there is none.
// An empty pair of quotes in front of the parameters counts as no parameter
// and is skipped.  Shift-JIS needs no special care: no lead or trail byte is a
// blank, a control character or a double quote.
std::string FirstParameter(std::string_view commandLine);
std::wstring FirstParameter(std::wstring_view commandLine);

}  // namespace kb::tools
