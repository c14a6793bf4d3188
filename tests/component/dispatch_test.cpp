// The registered classes through IDispatch by name, as late-bound clients
// call them: names, DISPID_VALUE, optional arguments, by-reference objects,
// wrong argument counts and types, and numbered errors as exceptions.

#include <gtest/gtest.h>

#include <vector>

#include "QUILLONSoftwareOptions.h"
#include "support/settings_support.h"

namespace {

using kestrel::Bstr;
using kestrel::ComPtr;
using kestrel::Variant;
using testing_support::ScratchApplication;
using testing_support::Text;
using testing_support::Utf8;

class Com : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr)); }
  void TearDown() override { CoUninitialize(); }
};

ComPtr<IDispatch> CreateByClsid(REFCLSID clsid) {
  ComPtr<IDispatch> object;
  EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                            reinterpret_cast<void**>(object.Put())));
  return object;
}

DISPID IdOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  EXPECT_HRESULT_SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))
      << Utf8(name);
  return id;
}

// One late-bound call; arguments are given in source order.
struct Call {
  HRESULT hr = E_FAIL;
  Variant result;
  EXCEPINFO exception{};
  ~Call() {
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
};

void Invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args, Call& call) {
  std::reverse(args.begin(), args.end());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  UINT argumentError = 0;
  call.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                           call.result.Put(), &call.exception, &argumentError);
}

TEST_F(Com, ValueIsTheDefaultMember) {
  auto option = CreateByClsid(CLSID_SoftwareOption);
  ASSERT_TRUE(option);
  EXPECT_EQ(IdOf(option.get(), L"Value"), DISPID_VALUE);
  EXPECT_EQ(IdOf(option.get(), L"value"), DISPID_VALUE) << "names ignore letter case";
  EXPECT_EQ(IdOf(option.get(), L"LoadSetting"), 0x60030005);
  EXPECT_EQ(IdOf(option.get(), L"SaveSettingInChanged"), 0x60030007);

  Call put;
  Invoke(option.get(), IdOf(option.get(), L"OptionType"), DISPATCH_PROPERTYPUT,
         {testing_support::Long(SOT_LONG).get()}, put);
  ASSERT_HRESULT_SUCCEEDED(put.hr);
  Invoke(option.get(), DISPID_VALUE, DISPATCH_PROPERTYPUT, {Text(L"12").get()}, put);
  ASSERT_HRESULT_SUCCEEDED(put.hr);
  Call get;
  Invoke(option.get(), DISPID_VALUE, DISPATCH_PROPERTYGET, {}, get);
  ASSERT_HRESULT_SUCCEEDED(get.hr);
  EXPECT_EQ(get.result.vt(), VT_I4);
  EXPECT_EQ(V_I4(&get.result.get()), 12);

  DISPID unknown = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
  EXPECT_EQ(option->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &unknown),
            DISP_E_UNKNOWNNAME);
}

TEST_F(Com, InfoCreateWithOnlyTheApplicationUsesOptions) {
  auto info = CreateByClsid(CLSID_SoftwareInfo);
  ASSERT_TRUE(info);
  Call create;
  Invoke(info.get(), IdOf(info.get(), L"Create"), DISPATCH_METHOD, {Text(L"App").get()}, create);
  ASSERT_HRESULT_SUCCEEDED(create.hr);
  ASSERT_EQ(create.result.vt(), VT_DISPATCH);
  ComPtr<IUnknown> a = info.As<IUnknown>(IID_IUnknown);
  ComPtr<IUnknown> b;
  V_DISPATCH(&create.result.get())->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(b.Put()));
  EXPECT_EQ(a.get(), b.get()) << "Create returns the object it was called on";

  Call section;
  Invoke(info.get(), IdOf(info.get(), L"SectionName"), DISPATCH_PROPERTYGET, {}, section);
  ASSERT_HRESULT_SUCCEEDED(section.hr);
  EXPECT_STREQ(V_BSTR(&section.result.get()), L"Options");
}

TEST_F(Com, NumberedErrorsArriveAsExceptions) {
  auto info = CreateByClsid(CLSID_SoftwareInfo);
  Call create;
  Invoke(info.get(), IdOf(info.get(), L"Create"), DISPATCH_METHOD, {Text(L"").get()}, create);
  EXPECT_EQ(create.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(create.exception.scode, static_cast<SCODE>(0x800A0001));
  EXPECT_STREQ(create.exception.bstrDescription, L"プロパティの値が不正です");

  auto option = CreateByClsid(CLSID_SoftwareOption);
  Call put;
  Invoke(option.get(), DISPID_VALUE, DISPATCH_PROPERTYPUT, {Text(L"1").get()}, put);
  EXPECT_EQ(put.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(put.exception.scode, static_cast<SCODE>(0x800A0002));
  EXPECT_STREQ(put.exception.bstrDescription,
               L"プロパティ OptionType の指定には 列挙型 SoftwareOptionType を使用してください");
}

TEST_F(Com, OptionCreateTakesTheIdentityByReference) {
  ScratchApplication app(L"KestrelTest.Dispatch");
  auto info = CreateByClsid(CLSID_SoftwareInfo);
  Call ignored;
  Invoke(info.get(), IdOf(info.get(), L"Create"), DISPATCH_METHOD,
         {Text(app.name().c_str()).get()}, ignored);
  ASSERT_HRESULT_SUCCEEDED(ignored.hr);
  app.WriteText(L"Options", L"Size", L"24");

  auto option = CreateByClsid(CLSID_SoftwareOption);
  IDispatch* identity = info.get();
  VARIANT byRef;
  V_VT(&byRef) = VT_BYREF | VT_DISPATCH;
  V_DISPATCHREF(&byRef) = &identity;
  VARIANT type;
  V_VT(&type) = VT_I4;
  V_I4(&type) = SOT_INTEGER;
  Call create;
  Invoke(option.get(), IdOf(option.get(), L"Create"), DISPATCH_METHOD,
         {byRef, Text(L"Size").get(), type, Text(L"16").get()}, create);
  ASSERT_HRESULT_SUCCEEDED(create.hr) << Utf8(create.exception.bstrDescription
                                                  ? create.exception.bstrDescription
                                                  : L"");
  EXPECT_EQ(identity, info.get()) << "the reference is not changed";

  Call load;
  Invoke(option.get(), IdOf(option.get(), L"LoadSetting"), DISPATCH_METHOD, {}, load);
  ASSERT_HRESULT_SUCCEEDED(load.hr);
  EXPECT_EQ(load.result.vt(), VT_I2);
  EXPECT_EQ(V_I2(&load.result.get()), 24);
}

TEST_F(Com, BadCallsGetDispatchErrors) {
  auto option = CreateByClsid(CLSID_SoftwareOption);
  auto info = CreateByClsid(CLSID_SoftwareInfo);
  Call call;
  Invoke(option.get(), IdOf(option.get(), L"LoadSetting"), DISPATCH_METHOD,
         {Text(L"extra").get()}, call);
  EXPECT_EQ(call.hr, DISP_E_BADPARAMCOUNT) << "too many arguments";

  Invoke(info.get(), IdOf(info.get(), L"Create"), DISPATCH_METHOD, {}, call);
  EXPECT_TRUE(call.hr == DISP_E_BADPARAMCOUNT || call.hr == DISP_E_PARAMNOTOPTIONAL)
      << "the application name is required: " << std::hex << call.hr;

  Invoke(option.get(), IdOf(option.get(), L"OptionType"), DISPATCH_PROPERTYPUT,
         {Text(L"not a number").get()}, call);
  EXPECT_EQ(call.hr, DISP_E_TYPEMISMATCH);

  Invoke(option.get(), 0x12345, DISPATCH_METHOD, {}, call);
  EXPECT_EQ(call.hr, DISP_E_MEMBERNOTFOUND);

  UINT count = 0;
  EXPECT_HRESULT_SUCCEEDED(option->GetTypeInfoCount(&count));
  EXPECT_EQ(count, 1u);
  ComPtr<ITypeInfo> typeInfo;
  EXPECT_EQ(option->GetTypeInfo(1, 0, typeInfo.Put()), DISP_E_BADINDEX);
  EXPECT_EQ(option->GetTypeInfo(0, 0, nullptr), E_POINTER);
}

TEST_F(Com, DualVtableAndDispatchAgree) {
  ComPtr<_SoftwareOption> option;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_SoftwareOption, nullptr, CLSCTX_INPROC_SERVER,
                                            IID__SoftwareOption,
                                            reinterpret_cast<void**>(option.Put())));
  ASSERT_HRESULT_SUCCEEDED(option->put_OptionName(Bstr(L"ViaVtable").get()));
  auto dispatch = option.As<IDispatch>(IID_IDispatch);
  Call name;
  Invoke(dispatch.get(), IdOf(dispatch.get(), L"OptionName"), DISPATCH_PROPERTYGET, {}, name);
  ASSERT_HRESULT_SUCCEEDED(name.hr);
  EXPECT_STREQ(V_BSTR(&name.result.get()), L"ViaVtable");
}

}  // namespace
