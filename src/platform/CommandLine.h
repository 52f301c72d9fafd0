#pragma once
// Command lines written for Windows programs, read and written by the Windows quoting rules, so
// a text made for "lame.exe" becomes the same arguments here.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Splits a command line into arguments as Windows programs do: spaces and tabs separate,
// double quotes group, 2n backslashes before a quote give n and the quote groups, 2n+1 give n
// and a literal quote, "" inside quotes gives a literal quote. The program name (the first
// argument) ends at its closing quote or the first blank and keeps its backslashes.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The argument in double quotes, escaped so that SplitCommandLine gives it back unchanged.
// A text without quotes and without a trailing backslash is only wrapped in the quotes.
std::string QuoteArgument(std::string_view argument);

} // namespace platform
