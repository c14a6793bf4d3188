// The value conversion rules every option relies on: coercion to the declared
// type, and text forms that read back as the same value.

#include <gtest/gtest.h>

#include <cmath>

#include "QUILLONSoftwareOptions.h"
#include "settings/conversion.h"
#include "support/settings_support.h"

namespace {

using testing_support::Describe;
using testing_support::Long;
using testing_support::Null;
using testing_support::Number;
using testing_support::Text;

struct CoerceCase {
  const char* rule;
  kestrel::Variant input;
  long type;
  bool converts;
  const wchar_t* expectedText;  // text form of the result, when it converts
};

TEST(CoerceToOptionType, FollowsTheAutomationRules) {
  const CoerceCase cases[] = {
      {"text 16 becomes a 16-bit integer", Text(L"16"), SOT_INTEGER, true, L"16"},
      {"2.5 rounds to the even 2", Number(2.5), SOT_INTEGER, true, L"2"},
      {"3.5 rounds to the even 4", Number(3.5), SOT_INTEGER, true, L"4"},
      {"-2.5 rounds to the even -2", Number(-2.5), SOT_LONG, true, L"-2"},
      {"text 2.5 rounds like the number", Text(L"2.5"), SOT_INTEGER, true, L"2"},
      {"300 is out of a byte's range", Long(300), SOT_BYTE, false, nullptr},
      {"-1 is out of a byte's range", Long(-1), SOT_BYTE, false, nullptr},
      {"32768 is out of a 16-bit range", Long(32768), SOT_INTEGER, false, nullptr},
      {"letters are no number", Text(L"abc"), SOT_LONG, false, nullptr},
      {"empty text is no number", Text(L""), SOT_LONG, false, nullptr},
      {"null never converts", Null(), SOT_STRING, false, nullptr},
      {"null never converts to a number", Null(), SOT_LONG, false, nullptr},
      {"empty gives zero", kestrel::Variant(), SOT_LONG, true, L"0"},
      {"empty gives empty text", kestrel::Variant(), SOT_STRING, true, L""},
      {"empty gives false", kestrel::Variant(), SOT_BOOLEAN, true, L"False"},
      {"word True is true", Text(L"True"), SOT_BOOLEAN, true, L"True"},
      {"word False is false", Text(L"False"), SOT_BOOLEAN, true, L"False"},
      {"non-zero number is true", Text(L"5"), SOT_BOOLEAN, true, L"True"},
      {"zero is false", Long(0), SOT_BOOLEAN, true, L"False"},
      {"numbers become text", Long(12), SOT_STRING, true, L"12"},
      {"currency keeps four places", Text(L"1.2345"), SOT_CURRENCY, true, L"1.2345"},
      {"decimal keeps its digits", Text(L"12345678901234567890.5"), SOT_DECIMAL, true,
       L"12345678901234567890.5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    kestrel::Variant out;
    const HRESULT hr = settings::CoerceToOptionType(c.input.get(), c.type, out);
    ASSERT_EQ(SUCCEEDED(hr), c.converts) << Describe(out.get());
    if (!c.converts) continue;
    EXPECT_EQ(out.vt(), c.type);
    kestrel::Bstr text;
    ASSERT_HRESULT_SUCCEEDED(settings::TextForm(out.get(), text));
    EXPECT_STREQ(text.c_str(), c.expectedText);
  }
}

TEST(CoerceToOptionType, RefusesNonMembers) {
  for (long type : {0L, 1L, 9L, 10L, 12L, 13L, 15L, 16L, 18L, 99L, -1L}) {
    kestrel::Variant out;
    EXPECT_FALSE(settings::IsOptionType(type)) << type;
    EXPECT_EQ(settings::CoerceToOptionType(Long(1).get(), type, out), E_INVALIDARG) << type;
  }
}

TEST(CoerceToOptionType, FollowsByReferenceInput) {
  LONG target = 42;
  VARIANT byRef;
  V_VT(&byRef) = VT_BYREF | VT_I4;
  V_I4REF(&byRef) = &target;
  kestrel::Variant out;
  ASSERT_HRESULT_SUCCEEDED(settings::CoerceToOptionType(byRef, SOT_STRING, out));
  EXPECT_STREQ(V_BSTR(&out.get()), L"42");
}

// Every text form must read back as the same value under the same locale.
TEST(TextForm, ReadsBackAsTheSameValue) {
  struct RoundTrip {
    const char* rule;
    kestrel::Variant value;
    long type;
  };
  const RoundTrip cases[] = {
      {"a double the coercion's 15 digits would change", Number(0.1 + 0.2), SOT_DOUBLE},
      {"a third", Number(1.0 / 3.0), SOT_DOUBLE},
      {"a single needing 9 digits", Number(static_cast<double>(16777217.0f / 3.0f)), SOT_SINGLE},
      {"a plain number", Number(12.5), SOT_DOUBLE},
      {"a date with time", Number(46000.5), SOT_DATE},
      {"true", Long(-1), SOT_BOOLEAN},
      {"currency", Text(L"-12345678901.2345"), SOT_CURRENCY},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    kestrel::Variant value;
    ASSERT_HRESULT_SUCCEEDED(settings::CoerceToOptionType(c.value.get(), c.type, value));
    kestrel::Bstr text;
    ASSERT_HRESULT_SUCCEEDED(settings::TextForm(value.get(), text));
    kestrel::Variant back;
    ASSERT_HRESULT_SUCCEEDED(
        settings::CoerceToOptionType(testing_support::Text(text.c_str()).get(), c.type, back))
        << testing_support::Utf8(text.c_str());
    EXPECT_EQ(VarCmp(const_cast<VARIANT*>(&back.get()), const_cast<VARIANT*>(&value.get()),
                     LOCALE_USER_DEFAULT, 0),
              static_cast<HRESULT>(VARCMP_EQ))
        << testing_support::Utf8(text.c_str()) << " read back as " << Describe(back.get());
  }
}

TEST(TextForm, NullHasNoTextForm) {
  kestrel::Bstr text;
  EXPECT_FALSE(SUCCEEDED(settings::TextForm(Null().get(), text)));
}

}  // namespace
