#include "options/locale_number.h"

#include <windows.h>

namespace kestrel::options {

std::optional<double> ReadNumberInUserLocale(const std::wstring& text) {
  // The platform reads up to the first NUL: a text holding one is no number
  // as a whole.
  if (text.find(L'\0') != std::wstring::npos) return std::nullopt;
  std::wstring copy(text);  // the platform's signature takes a writable text
  double value = 0;
  if (FAILED(VarR8FromStr(copy.data(), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
  return value;
}

}  // namespace kestrel::options
