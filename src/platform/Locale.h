#pragma once
// The user's locale as the program's texts need it: separators of numbers.

#include <string>

namespace platform {

// The decimal separator of the user's locale, as UTF-8 text ("." or "," in most locales).
std::string DecimalSeparator();
// The digit-group separator of the user's locale, as UTF-8 text ("," or "." or a space).
std::string ThousandsSeparator();

} // namespace platform
