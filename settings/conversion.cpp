#include "conversion.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace settings {
namespace {

constexpr LCID kLocale = LOCALE_USER_DEFAULT;

// How many default values are followed from object to object. An option
// whose value refers to itself would otherwise make the platform's coercion
// recurse until the stack runs out.
constexpr int kMaxDefaultValueHops = 8;

// Replaces an object reference by its default value, as the coercion would,
// but a bounded number of times.
HRESULT ResolveObjects(kestrel::Variant& value) {
  for (int hop = 0; hop < kMaxDefaultValueHops; ++hop) {
    if (value.vt() != VT_DISPATCH) return S_OK;
    IDispatch* object = V_DISPATCH(&value.get());
    if (!object) return DISP_E_TYPEMISMATCH;
    DISPPARAMS none{};
    kestrel::Variant result;
    if (FAILED(object->Invoke(DISPID_VALUE, IID_NULL, kLocale,
                              DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, result.Put(),
                              nullptr, nullptr))) {
      return DISP_E_TYPEMISMATCH;
    }
    kestrel::Variant next;
    const HRESULT hr = kestrel::Variant::CopyFrom(result.get(), next);
    if (FAILED(hr)) return hr;
    value = std::move(next);
  }
  return DISP_E_TYPEMISMATCH;
}

HRESULT Coerce(const VARIANT& value, VARTYPE target, USHORT flags, kestrel::Variant& out) {
  kestrel::Variant source;
  HRESULT hr = kestrel::Variant::CopyFrom(value, source);
  if (FAILED(hr)) return hr;
  hr = ResolveObjects(source);
  if (FAILED(hr)) return hr;
  if (source.vt() == VT_NULL) return DISP_E_TYPEMISMATCH;
  kestrel::Variant result;
  hr = VariantChangeTypeEx(result.Put(), const_cast<VARIANT*>(&source.get()), kLocale, flags,
                           target);
  if (FAILED(hr)) return hr;
  if (result.vt() != target) return DISP_E_TYPEMISMATCH;
  out = std::move(result);
  return S_OK;
}

// A number's text with the locale's decimal separator, so that the coercion
// reads it back.
kestrel::Bstr WithLocaleSeparator(std::wstring text) {
  wchar_t separator[8] = L".";
  GetLocaleInfoW(kLocale, LOCALE_SDECIMAL, separator, 8);
  if (const auto dot = text.find(L'.'); dot != std::wstring::npos) {
    text.replace(dot, 1, separator);
  }
  return kestrel::Bstr(text.c_str());
}

// The nearest text of a number with the given significant digits.
kestrel::Bstr FormatDigits(double number, int digits) {
  wchar_t buffer[64];
  std::swprintf(buffer, 64, L"%.*G", digits, number);
  return WithLocaleSeparator(buffer);
}

bool SameFloat(const VARIANT& a, const VARIANT& b) {
  if (V_VT(&a) != V_VT(&b)) return false;
  if (V_VT(&a) == VT_R4) return V_R4(&a) == V_R4(&b);
  return V_R8(&a) == V_R8(&b);
}

// The coercion's own text keeps 7 (single) or 15 (double) digits, which does
// not always read back as the same number; then more digits are used.
HRESULT FloatTextForm(const kestrel::Variant& number, kestrel::Bstr& text) {
  const VARTYPE vt = number.vt();
  kestrel::Variant platformText;
  HRESULT hr = Coerce(number.get(), VT_BSTR, 0, platformText);
  if (FAILED(hr)) return hr;

  const double value = vt == VT_R4 ? V_R4(&number.get()) : V_R8(&number.get());
  std::vector<kestrel::Bstr> candidates;
  candidates.emplace_back(V_BSTR(&platformText.get()));
  if (std::isfinite(value)) candidates.push_back(FormatDigits(value, vt == VT_R4 ? 9 : 17));
  for (auto& candidate : candidates) {
    VARIANT asText;
    V_VT(&asText) = VT_BSTR;
    V_BSTR(&asText) = candidate.get();
    kestrel::Variant back;
    if (SUCCEEDED(Coerce(asText, vt, 0, back)) && SameFloat(back.get(), number.get())) {
      text = std::move(candidate);
      return S_OK;
    }
  }
  text = std::move(candidates[0]);
  return S_OK;
}

}  // namespace

bool IsOptionType(long optionType) {
  switch (optionType) {
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_BOOL:
    case VT_DECIMAL:
    case VT_UI1:
      return true;
    default:
      return false;
  }
}

HRESULT CoerceToOptionType(const VARIANT& value, long optionType, kestrel::Variant& converted) {
  if (!IsOptionType(optionType)) return E_INVALIDARG;
  return Coerce(value, static_cast<VARTYPE>(optionType), 0, converted);
}

HRESULT TextForm(const VARIANT& value, kestrel::Bstr& text) {
  kestrel::Variant source;
  HRESULT hr = kestrel::Variant::CopyFrom(value, source);
  if (FAILED(hr)) return hr;
  hr = ResolveObjects(source);
  if (FAILED(hr)) return hr;
  if (source.vt() == VT_R4 || source.vt() == VT_R8) return FloatTextForm(source, text);

  kestrel::Variant result;
  hr = Coerce(source.get(), VT_BSTR, VARIANT_ALPHABOOL, result);
  if (FAILED(hr)) return hr;
  text = kestrel::Bstr(V_BSTR(&result.get()), SysStringLen(V_BSTR(&result.get())));
  return S_OK;
}

}  // namespace settings
