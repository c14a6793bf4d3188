#pragma once
// Value conversion of the settings library: the platform's variant coercion
// in the user's default locale.

#include <oaidl.h>

#include "common/com_ptr.h"

namespace settings {

// True for the ten members of SoftwareOptionType.
bool IsOptionType(long optionType);

// Coerces a value to the variant type of a SoftwareOptionType member.
// Integer targets round to the nearest integer with ties to even; a result
// out of range, a null input or an uncoercible input fails. An empty input
// gives the type's zero. optionType must be a member (IsOptionType).
HRESULT CoerceToOptionType(const VARIANT& value, long optionType, kestrel::Variant& converted);

// The text form a value is stored as. Booleans read "True" and "False";
// floating-point values use as many digits as they need to read back as
// the same number. Fails for null and for values without a text form.
HRESULT TextForm(const VARIANT& value, kestrel::Bstr& text);

}  // namespace settings
