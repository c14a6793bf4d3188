// The registered type library describes the component surface exactly:
// identifiers, dispatch identifiers, slot order, flags and the enumeration.

#include <gtest/gtest.h>

#include <string>

#include "QUILLONSoftwareOptions.h"
#include "support/settings_support.h"

namespace {

using kestrel::Bstr;
using kestrel::ComPtr;

class TypeLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
    ASSERT_HRESULT_SUCCEEDED(
        LoadRegTypeLib(LIBID_QUILLONSoftwareOptions, 1, 0, 0, library_.Put()));
  }
  void TearDown() override {
    library_.Reset();
    CoUninitialize();
  }
  ComPtr<ITypeInfo> Info(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    EXPECT_HRESULT_SUCCEEDED(library_->GetTypeInfoOfGuid(guid, info.Put()));
    return info;
  }
  ComPtr<ITypeLib> library_;
};

struct Member {
  const wchar_t* name;
  MEMBERID id;
  INVOKEKIND kind;
};

constexpr INVOKEKIND kMethod = INVOKE_FUNC;
constexpr INVOKEKIND kGet = INVOKE_PROPERTYGET;
constexpr INVOKEKIND kPut = INVOKE_PROPERTYPUT;
constexpr INVOKEKIND kPutRef = INVOKE_PROPERTYPUTREF;

void ExpectMembers(ITypeInfo* dispatchInfo, const std::vector<Member>& expected) {
  TYPEATTR* attr = nullptr;
  ASSERT_HRESULT_SUCCEEDED(dispatchInfo->GetTypeAttr(&attr));
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  constexpr WORD kDispatchFlags =
      TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
  EXPECT_EQ(attr->wTypeFlags & kDispatchFlags, kDispatchFlags);
  dispatchInfo->ReleaseTypeAttr(attr);

  // The vtable description gives the slot order.
  HREFTYPE vtableRef = 0;
  ASSERT_HRESULT_SUCCEEDED(dispatchInfo->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef));
  ComPtr<ITypeInfo> vtable;
  ASSERT_HRESULT_SUCCEEDED(dispatchInfo->GetRefTypeInfo(vtableRef, vtable.Put()));
  ASSERT_HRESULT_SUCCEEDED(vtable->GetTypeAttr(&attr));
  EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
  constexpr WORD kVtableFlags = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE |
                                TYPEFLAG_FOLEAUTOMATION;
  EXPECT_EQ(attr->wTypeFlags & kVtableFlags, kVtableFlags);
  ASSERT_EQ(attr->cFuncs, expected.size());
  vtable->ReleaseTypeAttr(attr);

  constexpr int kDispatchSlots = 7;  // IUnknown and IDispatch come first
  for (UINT i = 0; i < expected.size(); ++i) {
    FUNCDESC* func = nullptr;
    ASSERT_HRESULT_SUCCEEDED(vtable->GetFuncDesc(i, &func));
    Bstr name;
    vtable->GetDocumentation(func->memid, name.Put(), nullptr, nullptr, nullptr);
    SCOPED_TRACE(testing_support::Utf8(expected[i].name));
    EXPECT_STREQ(name.c_str(), expected[i].name);
    EXPECT_EQ(func->memid, expected[i].id);
    EXPECT_EQ(func->invkind, expected[i].kind);
    EXPECT_EQ(func->oVft, static_cast<SHORT>((kDispatchSlots + i) * sizeof(void*)));
    vtable->ReleaseFuncDesc(func);
  }
}

TEST_F(TypeLibrary, DescribesTheLibrary) {
  TLIBATTR* attr = nullptr;
  ASSERT_HRESULT_SUCCEEDED(library_->GetLibAttr(&attr));
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->lcid, 0u);
  library_->ReleaseTLibAttr(attr);
  Bstr name, help;
  ASSERT_HRESULT_SUCCEEDED(library_->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr));
  EXPECT_STREQ(name.c_str(), L"QUILLONSoftwareOptions");
  EXPECT_STREQ(help.c_str(), L"QUILLON + Software Options");
}

TEST_F(TypeLibrary, SoftwareInfoMembers) {
  auto info = Info(IID__SoftwareInfo);
  ExpectMembers(info.get(), {{L"Create", 0x60030002, kMethod},
                             {L"SectionName", 0x68030001, kPut},
                             {L"SectionName", 0x68030001, kGet},
                             {L"SoftwareName", 0x68030000, kPut},
                             {L"SoftwareName", 0x68030000, kGet}});

  // Create's section is optional and defaults to "Options".
  HREFTYPE vtableRef = 0;
  ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef));
  ComPtr<ITypeInfo> vtable;
  ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeInfo(vtableRef, vtable.Put()));
  FUNCDESC* create = nullptr;
  ASSERT_HRESULT_SUCCEEDED(vtable->GetFuncDesc(0, &create));
  ASSERT_EQ(create->cParams, 3) << "application, section, result";
  EXPECT_TRUE(create->lprgelemdescParam[2].paramdesc.wParamFlags & PARAMFLAG_FRETVAL);
  const PARAMDESC& section = create->lprgelemdescParam[1].paramdesc;
  EXPECT_TRUE(section.wParamFlags & PARAMFLAG_FOPT);
  ASSERT_TRUE(section.wParamFlags & PARAMFLAG_FHASDEFAULT);
  EXPECT_STREQ(V_BSTR(&section.pparamdescex->varDefaultValue), L"Options");
  vtable->ReleaseFuncDesc(create);
}

TEST_F(TypeLibrary, SoftwareOptionMembers) {
  ExpectMembers(Info(IID__SoftwareOption).get(),
                {{L"Create", 0x60030004, kMethod},
                 {L"DefaultValue", 0x68030003, kPut},
                 {L"DefaultValue", 0x68030003, kPutRef},
                 {L"DefaultValue", 0x68030003, kGet},
                 {L"OptionType", 0x68030002, kPut},
                 {L"OptionType", 0x68030002, kGet},
                 {L"OptionName", 0x68030001, kPut},
                 {L"OptionName", 0x68030001, kGet},
                 {L"LoadSetting", 0x60030005, kMethod},
                 {L"Value", DISPID_VALUE, kPut},
                 {L"Value", DISPID_VALUE, kPutRef},
                 {L"Value", DISPID_VALUE, kGet},
                 {L"OptionsInfo", 0x68030000, kPutRef},
                 {L"OptionsInfo", 0x68030000, kGet},
                 {L"SaveSettingInChanged", 0x60030007, kMethod}});
}

TEST_F(TypeLibrary, ClassesAreCreatableWithTheirDefaultInterface) {
  const std::pair<const CLSID*, const IID*> classes[] = {
      {&CLSID_SoftwareInfo, &IID__SoftwareInfo},
      {&CLSID_SoftwareOption, &IID__SoftwareOption},
  };
  for (const auto& [clsid, iid] : classes) {
    auto coclass = Info(*clsid);
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(coclass->GetTypeAttr(&attr));
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
    EXPECT_EQ(attr->cImplTypes, 1) << "no event interface";
    coclass->ReleaseTypeAttr(attr);
    INT flags = 0;
    ASSERT_HRESULT_SUCCEEDED(coclass->GetImplTypeFlags(0, &flags));
    EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
    HREFTYPE ref = 0;
    ASSERT_HRESULT_SUCCEEDED(coclass->GetRefTypeOfImplType(0, &ref));
    ComPtr<ITypeInfo> interfaceInfo;
    ASSERT_HRESULT_SUCCEEDED(coclass->GetRefTypeInfo(ref, interfaceInfo.Put()));
    ASSERT_HRESULT_SUCCEEDED(interfaceInfo->GetTypeAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(attr->guid, *iid));
    interfaceInfo->ReleaseTypeAttr(attr);
  }
}

TEST_F(TypeLibrary, EnumerationMembersAreVariantTypes) {
  static const GUID kEnum = {0xDA961377, 0xFCF2, 0x4FA9,
                             {0xAB, 0xC7, 0xE7, 0xE7, 0x43, 0x75, 0x98, 0xB7}};
  auto info = Info(kEnum);
  const std::pair<const wchar_t*, LONG> members[] = {
      {L"SOT_INTEGER", VT_I2}, {L"SOT_LONG", VT_I4},    {L"SOT_SINGLE", VT_R4},
      {L"SOT_DOUBLE", VT_R8},  {L"SOT_CURRENCY", VT_CY}, {L"SOT_DATE", VT_DATE},
      {L"SOT_STRING", VT_BSTR}, {L"SOT_BOOLEAN", VT_BOOL}, {L"SOT_DECIMAL", VT_DECIMAL},
      {L"SOT_BYTE", VT_UI1}};
  TYPEATTR* attr = nullptr;
  ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
  EXPECT_EQ(attr->typekind, TKIND_ENUM);
  ASSERT_EQ(attr->cVars, std::size(members));
  info->ReleaseTypeAttr(attr);
  for (UINT i = 0; i < std::size(members); ++i) {
    VARDESC* var = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetVarDesc(i, &var));
    Bstr name;
    info->GetDocumentation(var->memid, name.Put(), nullptr, nullptr, nullptr);
    EXPECT_STREQ(name.c_str(), members[i].first);
    EXPECT_EQ(V_I4(var->lpvarValue), members[i].second);
    info->ReleaseVarDesc(var);
  }
}

}  // namespace
