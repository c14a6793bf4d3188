#pragma once
// The platform's locale-aware number test, which the options dialog applies
// to its numeric boxes, as the countdown's input box does.

#include <optional>
#include <string>

namespace kestrel::options {

// The whole text read as a number in the user's locale by the platform
// (VarR8FromStr): blanks around it, signs and brackets, group and decimal
// separators, exponents and hexadecimal as the platform takes them. Nothing
// when it is no number or lies beyond a double.
std::optional<double> ReadNumberInUserLocale(const std::wstring& text);

}  // namespace kestrel::options
