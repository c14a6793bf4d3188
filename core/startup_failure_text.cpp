#include "core/startup_failure_text.h"

#include <cstdio>

namespace kestrel {
namespace {

constexpr uint32_t kNumberedErrorMask = 0xFFFF0000u;
constexpr uint32_t kNumberedErrorBase = 0x800A0000u;

constexpr std::wstring_view kHeadline = L"Kestrel5 を開始できませんでした。";
constexpr std::wstring_view kWhatLabel = L"失敗した処理: ";
constexpr std::wstring_view kNumberLabel = L"エラー番号: ";
constexpr std::wstring_view kDescriptionLabel = L"説明: ";
constexpr std::wstring_view kNoDescription = L"(説明はありません)";

constexpr uint32_t kClassNotRegistered = 0x80040154u;  // REGDB_E_CLASSNOTREG
constexpr uint32_t kModuleNotFound = 0x8007007Eu;      // ERROR_MOD_NOT_FOUND
constexpr uint32_t kFileNotFound = 0x80070002u;        // ERROR_FILE_NOT_FOUND

constexpr wchar_t kNotRegisteredText[] =
    L"設定コンポーネント QUILLONSoftwareOptions.dll が登録されていません。";
constexpr wchar_t kMissingText[] =
    L"設定コンポーネント QUILLONSoftwareOptions.dll が見つかりません。";

}  // namespace

std::wstring KnownFailureDescription(uint32_t hresult) {
  switch (hresult) {
    case kClassNotRegistered:
      return kNotRegisteredText;
    case kModuleNotFound:
    case kFileNotFound:
      return kMissingText;
    default:
      return {};
  }
}

std::wstring ErrorNumberText(uint32_t hresult) {
  wchar_t buffer[16];
  if ((hresult & kNumberedErrorMask) == kNumberedErrorBase) {
    std::swprintf(buffer, std::size(buffer), L"%u", hresult & ~kNumberedErrorMask);
  } else {
    std::swprintf(buffer, std::size(buffer), L"0x%08X", hresult);
  }
  return buffer;
}

std::wstring StartupFailureText(std::wstring_view what, uint32_t hresult,
                                std::wstring_view description) {
  std::wstring text(kHeadline);
  text += L"\r\n\r\n";
  text += kWhatLabel;
  text += what;
  text += L"\r\n";
  text += kNumberLabel;
  text += ErrorNumberText(hresult);
  text += L"\r\n";
  text += kDescriptionLabel;
  text += description.empty() ? kNoDescription : description;
  return text;
}

}  // namespace kestrel
