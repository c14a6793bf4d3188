// SoftwareInfo and SoftwareOption driven in-process through their vtables,
// from the built library loaded without registration.

#include <gtest/gtest.h>

#include "QUILLONSoftwareOptions.h"
#include "settings/errors.h"
#include "support/settings_support.h"

namespace {

using kestrel::Bstr;
using kestrel::ComPtr;
using kestrel::Variant;
using testing_support::ScratchApplication;
using testing_support::TakeErrorDescription;
using testing_support::Text;
using testing_support::Utf8;

// The library as a client process loads it.
class Library {
 public:
  Library() : module_(LoadLibraryW(KESTREL_SETTINGS_DLL)) {
    getClassObject_ = reinterpret_cast<decltype(getClassObject_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow_ = reinterpret_cast<decltype(canUnloadNow_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
  }
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  bool loaded() const { return getClassObject_ && canUnloadNow_; }
  HRESULT CanUnloadNow() const { return canUnloadNow_(); }
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
    return getClassObject_(clsid, iid, out);
  }
  template <class I>
  ComPtr<I> Create(REFCLSID clsid, REFIID iid) const {
    ComPtr<IClassFactory> factory;
    ComPtr<I> object;
    if (SUCCEEDED(getClassObject_(clsid, IID_IClassFactory,
                                  reinterpret_cast<void**>(factory.Put())))) {
      factory->CreateInstance(nullptr, iid, reinterpret_cast<void**>(object.Put()));
    }
    return object;
  }

 private:
  HMODULE module_;
  HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
};

class SettingsClasses : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ASSERT_TRUE(library_.loaded());
  }
  void TearDown() override { CoUninitialize(); }

  ComPtr<_SoftwareInfo> NewInfo() {
    return library_.Create<_SoftwareInfo>(CLSID_SoftwareInfo, IID__SoftwareInfo);
  }
  ComPtr<_SoftwareInfo> NewInfo(const std::wstring& software, const wchar_t* section) {
    auto info = NewInfo();
    ComPtr<_SoftwareInfo> same;
    EXPECT_HRESULT_SUCCEEDED(
        info->Create(Bstr(software.c_str()).get(), Bstr(section).get(), same.Put()));
    return info;
  }
  ComPtr<_SoftwareOption> NewOption() {
    return library_.Create<_SoftwareOption>(CLSID_SoftwareOption, IID__SoftwareOption);
  }
  // An option created by Create; the result of Create is expected to be hr.
  ComPtr<_SoftwareOption> NewOption(ComPtr<_SoftwareInfo> info, const wchar_t* name, long type,
                                    const Variant& defaultValue, HRESULT hr = S_OK) {
    auto option = NewOption();
    _SoftwareInfo* raw = info.get();
    EXPECT_EQ(option->Create(&raw, Bstr(name).get(), static_cast<SoftwareOptionType>(type),
                             defaultValue.get()),
              hr);
    return option;
  }

  static std::wstring SectionName(_SoftwareInfo* info) {
    Bstr text;
    EXPECT_HRESULT_SUCCEEDED(info->get_SectionName(text.Put()));
    return text.c_str();
  }
  static std::wstring SoftwareName(_SoftwareInfo* info) {
    Bstr text;
    EXPECT_HRESULT_SUCCEEDED(info->get_SoftwareName(text.Put()));
    return text.c_str();
  }
  static Variant ValueOf(_SoftwareOption* option) {
    Variant v;
    EXPECT_HRESULT_SUCCEEDED(option->get_Value(v.Put()));
    return v;
  }
  static Variant DefaultOf(_SoftwareOption* option) {
    Variant v;
    EXPECT_HRESULT_SUCCEEDED(option->get_DefaultValue(v.Put()));
    return v;
  }
  static std::wstring AsText(const Variant& v) {
    Variant text;
    if (FAILED(VariantChangeTypeEx(text.Put(), const_cast<VARIANT*>(&v.get()),
                                   LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL, VT_BSTR))) {
      return L"<no text>";
    }
    return V_BSTR(&text.get()) ? V_BSTR(&text.get()) : L"";
  }
  static VARIANT_BOOL Save(_SoftwareOption* option) {
    VARIANT_BOOL saved = VARIANT_FALSE;
    EXPECT_HRESULT_SUCCEEDED(option->SaveSettingInChanged(&saved));
    return saved;
  }

  Library library_;
};

constexpr HRESULT kError1 = settings::NumberedErrorCode(1);
constexpr HRESULT kError2 = settings::NumberedErrorCode(2);
constexpr HRESULT kError3 = settings::NumberedErrorCode(3);
constexpr HRESULT kError4 = settings::NumberedErrorCode(4);
constexpr HRESULT kError5 = settings::NumberedErrorCode(5);

TEST_F(SettingsClasses, InfoCreateStoresBothNamesAndReturnsItself) {
  auto info = NewInfo();
  ComPtr<_SoftwareInfo> result;
  ASSERT_HRESULT_SUCCEEDED(info->Create(Bstr(L"App").get(), Bstr(L"Sect").get(), result.Put()));
  EXPECT_EQ(result.get(), info.get());
  EXPECT_EQ(SoftwareName(info.get()), L"App");
  EXPECT_EQ(SectionName(info.get()), L"Sect");
}

TEST_F(SettingsClasses, InfoRefusesEmptyNamesAndKeepsWhatItHad) {
  struct Case {
    const char* rule;
    const wchar_t* software;
    const wchar_t* section;
  };
  const Case cases[] = {
      {"empty application", L"", L"Options"},
      {"explicitly empty section", L"App", L""},
      {"null texts are empty", nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    auto info = NewInfo();
    ComPtr<_SoftwareInfo> result;
    EXPECT_EQ(info->Create(Bstr(c.software).get(), Bstr(c.section).get(), result.Put()), kError1);
    EXPECT_EQ(TakeErrorDescription(), settings::Description(settings::InfoError::kInvalidName));
    EXPECT_FALSE(result);
    EXPECT_EQ(SoftwareName(info.get()), L"");
    EXPECT_EQ(SectionName(info.get()), L"");
  }

  auto info = NewInfo(L"App", L"Options");
  EXPECT_EQ(info->put_SectionName(Bstr(L"").get()), kError1);
  EXPECT_EQ(info->put_SoftwareName(nullptr), kError1);
  EXPECT_EQ(SectionName(info.get()), L"Options");
  EXPECT_EQ(SoftwareName(info.get()), L"App");
  ASSERT_HRESULT_SUCCEEDED(info->put_SectionName(Bstr(L" Spaced ").get()));
  EXPECT_EQ(SectionName(info.get()), L" Spaced ") << "stored unchanged, not trimmed";
}

TEST_F(SettingsClasses, NullOutPointersAreRefused) {
  auto info = NewInfo();
  EXPECT_EQ(info->Create(Bstr(L"A").get(), Bstr(L"B").get(), nullptr), E_POINTER);
  EXPECT_EQ(SoftwareName(info.get()), L"") << "nothing changed";
  EXPECT_EQ(info->get_SectionName(nullptr), E_POINTER);
  auto option = NewOption();
  EXPECT_EQ(option->get_Value(nullptr), E_POINTER);
  EXPECT_EQ(option->LoadSetting(nullptr), E_POINTER);
  EXPECT_EQ(option->SaveSettingInChanged(nullptr), E_POINTER);
  EXPECT_EQ(option->get_OptionsInfo(nullptr), E_POINTER);
  EXPECT_EQ(option->putref_OptionsInfo(nullptr), E_POINTER);
  EXPECT_EQ(option->Create(nullptr, Bstr(L"K").get(), SOT_LONG, Variant().get()), E_POINTER);
}

TEST_F(SettingsClasses, OptionCreateConvertsTheDefault) {
  auto info = NewInfo(L"KestrelTest.Create", L"Options");
  struct Case {
    const char* rule;
    long type;
    Variant given;
    HRESULT result;
    VARTYPE storedType;
    const wchar_t* storedText;
  };
  const Case cases[] = {
      {"text 16 as a 16-bit integer", SOT_INTEGER, Text(L"16"), S_OK, VT_I2, L"16"},
      {"2.5 rounds to the even 2", SOT_INTEGER, testing_support::Number(2.5), S_OK, VT_I2, L"2"},
      {"300 does not fit a byte", SOT_BYTE, testing_support::Long(300), kError3, VT_EMPTY, L""},
      {"null does not convert", SOT_STRING, testing_support::Null(), kError3, VT_EMPTY, L""},
      {"type 0 is no member", 0, Text(L"1"), kError2, VT_EMPTY, L""},
      {"type 9 is no member", 9, Text(L"1"), kError2, VT_EMPTY, L""},
      {"type 99 is no member", 99, Text(L"1"), kError2, VT_EMPTY, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    auto option = NewOption(info, L"Key", c.type, c.given, c.result);
    if (FAILED(c.result)) {
      EXPECT_NE(TakeErrorDescription(), L"");
      // The three fields before the conversion are stored all the same.
      Bstr name;
      option->get_OptionName(name.Put());
      EXPECT_STREQ(name.c_str(), L"Key");
      SoftwareOptionType type{};
      option->get_OptionType(&type);
      EXPECT_EQ(type, c.type);
      ComPtr<_SoftwareInfo> stored;
      option->get_OptionsInfo(stored.Put());
      EXPECT_EQ(stored.get(), info.get());
    }
    const Variant stored = DefaultOf(option.get());
    EXPECT_EQ(stored.vt(), c.storedType);
    EXPECT_EQ(AsText(stored), c.storedText);
    EXPECT_EQ(ValueOf(option.get()).vt(), VT_EMPTY) << "Value stays empty until loaded";
  }
}

TEST_F(SettingsClasses, OptionCreateWithEmptyNameStoresNothing) {
  auto info = NewInfo(L"KestrelTest.EmptyName", L"Options");
  auto option = NewOption(info, L"", SOT_LONG, Text(L"1"), kError4);
  EXPECT_EQ(TakeErrorDescription(),
            settings::Description(settings::OptionError::kBadOptionName));
  ComPtr<_SoftwareInfo> stored;
  ASSERT_HRESULT_SUCCEEDED(option->get_OptionsInfo(stored.Put()));
  EXPECT_FALSE(stored) << "not even the identity is stored";
  EXPECT_EQ(option->put_OptionName(Bstr(L"").get()), kError4);
}

TEST_F(SettingsClasses, ValueAssignmentConverts) {
  auto option = NewOption();
  EXPECT_EQ(option->put_Value(Text(L"1").get()), kError2) << "a new object has type 0";
  EXPECT_EQ(TakeErrorDescription(),
            settings::Description(settings::OptionError::kBadOptionType));

  option = NewOption(NewInfo(L"KestrelTest.Value", L"Options"), L"Key", SOT_LONG, Text(L"0"));
  ASSERT_HRESULT_SUCCEEDED(option->put_Value(Text(L"12").get()));
  EXPECT_EQ(ValueOf(option.get()).vt(), VT_I4);
  EXPECT_EQ(AsText(ValueOf(option.get())), L"12");
  EXPECT_EQ(option->put_Value(Text(L"abc").get()), kError5);
  EXPECT_EQ(TakeErrorDescription(),
            settings::Description(settings::OptionError::kValueNotConvertible));
  EXPECT_EQ(AsText(ValueOf(option.get())), L"12") << "a failed assignment keeps the value";

  // Another option's object reference converts through its default value.
  auto other = NewOption(NewInfo(L"KestrelTest.Value", L"Options"), L"K2", SOT_LONG, Text(L"0"));
  ASSERT_HRESULT_SUCCEEDED(other->put_Value(Text(L"7").get()));
  Variant reference;
  V_VT(reference.Put()) = VT_DISPATCH;
  other->QueryInterface(IID_IDispatch,
                        reinterpret_cast<void**>(&V_DISPATCH(const_cast<VARIANT*>(&reference.get()))));
  ASSERT_HRESULT_SUCCEEDED(option->put_Value(reference.get()));
  EXPECT_EQ(ValueOf(option.get()).vt(), VT_I4);
  EXPECT_EQ(AsText(ValueOf(option.get())), L"7");

  // By reference, the object itself is kept and read back counted.
  ASSERT_HRESULT_SUCCEEDED(option->putref_Value(reference.get()));
  const Variant held = ValueOf(option.get());
  ASSERT_EQ(held.vt(), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(&held.get()), V_DISPATCH(&reference.get()));
}

TEST_F(SettingsClasses, LoadSettingFallsBackToTheDefault) {
  ScratchApplication app(L"KestrelTest.Load");
  auto info = NewInfo(app.name(), L"Options");
  app.WriteText(L"Options", L"Letters", L"abc");
  app.WriteText(L"Options", L"EmptyText", L"");
  app.WriteText(L"Options", L"Stored", L"42");
  app.WriteText(L"Options", L"Flag", L"True");
  const DWORD dword = 5;
  app.WriteRaw(L"Options", L"Dword", REG_DWORD, &dword, sizeof(dword));
  struct Case {
    const char* rule;
    const wchar_t* key;
    long type;
    const wchar_t* defaultText;
    VARTYPE loadedType;
    const wchar_t* loadedText;
  };
  const Case cases[] = {
      {"no entry gives the converted default", L"Missing", SOT_INTEGER, L"16", VT_I2, L"16"},
      {"a stored number is loaded", L"Stored", SOT_LONG, L"3", VT_I4, L"42"},
      {"letters for a number give the default", L"Letters", SOT_LONG, L"3", VT_I4, L"3"},
      {"empty text for a number gives the default", L"EmptyText", SOT_LONG, L"3", VT_I4, L"3"},
      {"empty text for a string is empty text", L"EmptyText", SOT_STRING, L"x", VT_BSTR, L""},
      {"a stored Boolean word", L"Flag", SOT_BOOLEAN, L"False", VT_BOOL, L"True"},
      {"a value of another type gives the default", L"Dword", SOT_LONG, L"9", VT_I4, L"9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    auto option = NewOption(info, c.key, c.type, Text(c.defaultText));
    Variant loaded;
    ASSERT_HRESULT_SUCCEEDED(option->LoadSetting(loaded.Put()));
    EXPECT_EQ(loaded.vt(), c.loadedType);
    EXPECT_EQ(AsText(loaded), c.loadedText);
    EXPECT_EQ(AsText(ValueOf(option.get())), c.loadedText);
  }
}

TEST_F(SettingsClasses, LoadSettingFailuresRaiseError1) {
  ScratchApplication app(L"KestrelTest.LoadFail");
  app.WriteText(L"Options", L"Key", L"raw");

  auto orphan = NewOption();
  ASSERT_HRESULT_SUCCEEDED(orphan->put_OptionType(SOT_LONG));
  ASSERT_HRESULT_SUCCEEDED(orphan->put_Value(Text(L"8").get()));
  Variant loaded;
  EXPECT_EQ(orphan->LoadSetting(loaded.Put()), kError1) << "no OptionsInfo";
  EXPECT_EQ(TakeErrorDescription(),
            settings::Description(settings::OptionError::kNotInitialized));
  EXPECT_EQ(AsText(ValueOf(orphan.get())), L"8") << "Value unchanged";

  auto unnamed = NewOption(NewInfo(), L"Key", SOT_LONG, Text(L"1"));
  EXPECT_EQ(unnamed->LoadSetting(loaded.Put()), kError1) << "an identity without names";

  auto badType = NewOption(NewInfo(app.name(), L"Options"), L"Key", SOT_LONG, Text(L"1"));
  ASSERT_HRESULT_SUCCEEDED(badType->put_OptionType(static_cast<SoftwareOptionType>(99)));
  EXPECT_EQ(badType->LoadSetting(loaded.Put()), kError1);
  EXPECT_EQ(AsText(ValueOf(badType.get())), L"raw") << "the raw stored text stays";
}

TEST_F(SettingsClasses, DirectDefaultIsNotConverted) {
  ScratchApplication app(L"KestrelTest.DirectDefault");
  auto option = NewOption(NewInfo(app.name(), L"Options"), L"Key", SOT_LONG, Text(L"1"));
  ASSERT_HRESULT_SUCCEEDED(option->put_DefaultValue(Text(L"abc").get()));
  EXPECT_EQ(DefaultOf(option.get()).vt(), VT_BSTR);
  Variant loaded;
  ASSERT_HRESULT_SUCCEEDED(option->LoadSetting(loaded.Put()));
  EXPECT_EQ(loaded.vt(), VT_BSTR);
  EXPECT_EQ(AsText(loaded), L"abc");
}

TEST_F(SettingsClasses, SaveWritesOnlyWhatDiffers) {
  ScratchApplication app(L"KestrelTest.Save");
  auto info = NewInfo(app.name(), L"Options");
  auto option = NewOption(info, L"Size", SOT_INTEGER, Text(L"16"));
  Variant loaded;
  ASSERT_HRESULT_SUCCEEDED(option->LoadSetting(loaded.Put()));
  EXPECT_EQ(Save(option.get()), VARIANT_TRUE);
  EXPECT_FALSE(app.SectionExists(L"Options")) << "the default's text is not written";

  ASSERT_HRESULT_SUCCEEDED(option->put_Value(Text(L"32").get()));
  EXPECT_EQ(Save(option.get()), VARIANT_TRUE);
  EXPECT_EQ(app.ReadText(L"Options", L"Size"), std::wstring(L"32"));

  auto flag = NewOption(info, L"Flag", SOT_BOOLEAN, Text(L"True"));
  ASSERT_HRESULT_SUCCEEDED(flag->put_Value(testing_support::Long(0).get()));
  EXPECT_EQ(Save(flag.get()), VARIANT_TRUE);
  EXPECT_EQ(app.ReadText(L"Options", L"Flag"), std::wstring(L"False"));
  ASSERT_HRESULT_SUCCEEDED(flag->LoadSetting(loaded.Put()));
  EXPECT_EQ(AsText(loaded), L"False") << "the written text reads back";

  // The shared identity is asked for its names at each save.
  ASSERT_HRESULT_SUCCEEDED(info->put_SectionName(Bstr(L"Other").get()));
  EXPECT_EQ(Save(option.get()), VARIANT_TRUE);
  EXPECT_EQ(app.ReadText(L"Other", L"Size"), std::wstring(L"32"));
}

TEST_F(SettingsClasses, SaveFailuresReturnFalseAndLeaveNoError) {
  ScratchApplication app(L"KestrelTest.SaveFail");
  auto orphan = NewOption();
  ASSERT_HRESULT_SUCCEEDED(orphan->put_OptionName(Bstr(L"Key").get()));
  SetErrorInfo(0, nullptr);
  EXPECT_EQ(Save(orphan.get()), VARIANT_FALSE) << "no OptionsInfo";
  EXPECT_EQ(TakeErrorDescription(), L"");

  auto nullValue = NewOption(NewInfo(app.name(), L"Options"), L"Key", SOT_LONG, Text(L"1"));
  ASSERT_HRESULT_SUCCEEDED(nullValue->putref_Value(testing_support::Null().get()));
  EXPECT_EQ(Save(nullValue.get()), VARIANT_FALSE) << "null has no text form";

  auto huge = NewOption(NewInfo(app.name(), L"Options"), L"Key", SOT_STRING, Text(L""));
  const std::wstring tooLong(70000, L'x');
  ASSERT_HRESULT_SUCCEEDED(huge->put_Value(Text(tooLong.c_str()).get()));
  EXPECT_EQ(Save(huge.get()), VARIANT_FALSE) << "too long to store whole";
  EXPECT_FALSE(app.SectionExists(L"Options"));
}

TEST_F(SettingsClasses, ForeignObjectsAreNotTakenForAnIdentity) {
  auto option = NewOption();
  auto other = NewOption();
  // A caller that passes some other object where an identity belongs.
  auto* impostor = reinterpret_cast<_SoftwareInfo*>(other.get());
  EXPECT_EQ(option->putref_OptionsInfo(&impostor), E_NOINTERFACE);
  EXPECT_EQ(option->Create(&impostor, Bstr(L"Key").get(), SOT_LONG, Text(L"1").get()),
            E_NOINTERFACE);
  ComPtr<_SoftwareInfo> stored;
  ASSERT_HRESULT_SUCCEEDED(option->get_OptionsInfo(stored.Put()));
  EXPECT_FALSE(stored);
}

TEST_F(SettingsClasses, SelfReferenceDoesNotRecurseForever) {
  ScratchApplication app(L"KestrelTest.Self");
  auto option = NewOption(NewInfo(app.name(), L"Options"), L"Key", SOT_LONG, Text(L"1"));
  Variant self;
  VARIANT* p = self.Put();
  V_VT(p) = VT_DISPATCH;
  option->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(p)));
  ASSERT_HRESULT_SUCCEEDED(option->putref_Value(self.get()));
  ASSERT_HRESULT_SUCCEEDED(option->putref_DefaultValue(self.get()));
  Variant loaded;
  EXPECT_EQ(option->LoadSetting(loaded.Put()), kError1);
  EXPECT_EQ(Save(option.get()), VARIANT_FALSE);
  // Break the cycle so the object can go.
  option->putref_Value(Variant().get());
  option->putref_DefaultValue(Variant().get());
}

TEST_F(SettingsClasses, UnloadWaitsForObjectsAndLocks) {
  EXPECT_EQ(library_.CanUnloadNow(), S_OK);
  {
    auto option = NewOption();
    EXPECT_EQ(library_.CanUnloadNow(), S_FALSE);
  }
  EXPECT_EQ(library_.CanUnloadNow(), S_OK);

  ComPtr<IClassFactory> factory;
  ASSERT_HRESULT_SUCCEEDED(library_.GetClassObject(CLSID_SoftwareInfo, IID_IClassFactory,
                                                   reinterpret_cast<void**>(factory.Put())));
  EXPECT_EQ(library_.CanUnloadNow(), S_FALSE) << "a held factory";
  factory->LockServer(TRUE);
  factory.Reset();
  EXPECT_EQ(library_.CanUnloadNow(), S_FALSE) << "a locked server";
  ASSERT_HRESULT_SUCCEEDED(library_.GetClassObject(CLSID_SoftwareInfo, IID_IClassFactory,
                                                   reinterpret_cast<void**>(factory.Put())));
  factory->LockServer(FALSE);
  factory.Reset();
  EXPECT_EQ(library_.CanUnloadNow(), S_OK);
}

TEST_F(SettingsClasses, ClassObjectRequestsAreChecked) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(library_.GetClassObject(IID_IDispatch, IID_IClassFactory, &out),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(library_.GetClassObject(CLSID_SoftwareInfo, IID_IClassFactory, nullptr), E_POINTER);
  ComPtr<IClassFactory> factory;
  ASSERT_HRESULT_SUCCEEDED(library_.GetClassObject(CLSID_SoftwareOption, IID_IClassFactory,
                                                   reinterpret_cast<void**>(factory.Put())));
  ComPtr<IUnknown> object;
  auto outer = NewInfo();
  EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown,
                                    reinterpret_cast<void**>(object.Put())),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPersist, reinterpret_cast<void**>(object.Put())),
            E_NOINTERFACE);
  ComPtr<ISupportErrorInfo> support;
  ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_ISupportErrorInfo,
                                                   reinterpret_cast<void**>(support.Put())));
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__SoftwareOption), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__SoftwareInfo), S_FALSE);
}

}  // namespace
