#include "errors.h"

#include <oleauto.h>

#include "QUILLONSoftwareOptions.h"
#include "common/com_ptr.h"

namespace settings {
namespace {

constexpr wchar_t kInfoSource[] = L"QUILLONSoftwareOptions.SoftwareInfo";
constexpr wchar_t kOptionSource[] = L"QUILLONSoftwareOptions.SoftwareOption";

HRESULT RaiseNumbered(int number, const wchar_t* description, const wchar_t* source,
                      REFIID iid) {
  kestrel::ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(source));
    create->SetDescription(const_cast<LPOLESTR>(description));
    create->SetHelpFile(nullptr);
    create->SetHelpContext(0);
    auto info = create.As<IErrorInfo>(IID_IErrorInfo);
    SetErrorInfo(0, info.get());
  }
  return NumberedErrorCode(number);
}

}  // namespace

const wchar_t* Description(InfoError error) {
  switch (error) {
    case InfoError::kInvalidName:
      return L"プロパティの値が不正です";
  }
  return L"";
}

const wchar_t* Description(OptionError error) {
  switch (error) {
    case OptionError::kNotInitialized:
      return L"適切なプロパティの初期化が行われていません\r\n"
             L"Createメソッドなどにより必要な値を設定してください";
    case OptionError::kBadOptionType:
      return L"プロパティ OptionType の指定には 列挙型 SoftwareOptionType を使用してください";
    case OptionError::kDefaultNotConvertible:
      return L"プロパティ DefaultValue の値が OptionType により指定された型に型変換できない値です";
    case OptionError::kBadOptionName:
      return L"プロパティ OptionName の値が不正です";
    case OptionError::kValueNotConvertible:
      return L"プロパティ Value の値が OptionType により指定された型に型変換できない値です";
  }
  return L"";
}

HRESULT Raise(InfoError error) {
  return RaiseNumbered(static_cast<int>(error), Description(error), kInfoSource,
                       IID__SoftwareInfo);
}

HRESULT Raise(OptionError error) {
  return RaiseNumbered(static_cast<int>(error), Description(error), kOptionSource,
                       IID__SoftwareOption);
}

}  // namespace settings
