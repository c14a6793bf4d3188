#pragma once
// The numbered errors of the settings library, reported the automation way:
// HRESULT 0x800A0000 + number, description in the call's IErrorInfo.

#include <objbase.h>

namespace settings {

enum class InfoError { kInvalidName = 1 };

enum class OptionError {
  kNotInitialized = 1,
  kBadOptionType = 2,
  kDefaultNotConvertible = 3,
  kBadOptionName = 4,
  kValueNotConvertible = 5,
};

// The failure code a numbered error travels as.
constexpr HRESULT NumberedErrorCode(int number) {
  return static_cast<HRESULT>(0x800A0000u + static_cast<unsigned>(number));
}

// Sets the error information for the interface and returns the failure code.
HRESULT Raise(InfoError error);
HRESULT Raise(OptionError error);

// The description of each error, exactly as callers see it.
const wchar_t* Description(InfoError error);
const wchar_t* Description(OptionError error);

}  // namespace settings
