#include "core/mdl_kestrel.h"

#include <oleauto.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "QUILLONSoftwareOptions.h"
#include "common/com_ptr.h"
#include "common/win_handles.h"
#include "core/options_table.h"
#include "core/restart_registration.h"
#include "core/startup_failure_text.h"
#include "kestrel_version.h"
#include "tray/frm_background.h"

namespace kestrel {

int32_t TimerSeconds = 0;

namespace {

static_assert(static_cast<int>(OptionType::Integer) == SOT_INTEGER);
static_assert(static_cast<int>(OptionType::String) == SOT_STRING);
static_assert(static_cast<int>(OptionType::Boolean) == SOT_BOOLEAN);

// Names the running instance; a second start finds it and ends at once.
constexpr wchar_t kInstanceMutexName[] = L"Kestrel5.SingleInstance";
constexpr wchar_t kProgramTitle[] = L"Kestrel5.2";

constexpr int kExitStartupFailed = 1;

// What the start-up failure message names as the failed step.
constexpr wchar_t kWhatComInit[] = L"COM の初期化";
constexpr wchar_t kWhatCreateInfo[] = L"設定コンポーネント SoftwareInfo の作成";
constexpr wchar_t kWhatCreateOption[] = L"設定コンポーネント SoftwareOption の作成";
constexpr wchar_t kWhatInfoCreate[] = L"設定の識別 (SoftwareInfo.Create): ";
constexpr wchar_t kWhatOptionCreate[] = L"設定項目の作成 (SoftwareOption.Create): ";
constexpr wchar_t kWhatLoad[] = L"設定項目の読み込み (LoadSetting): ";
constexpr wchar_t kWhatPublish[] = L"設定項目の公開 (Value, SaveSettingInChanged): ";
constexpr wchar_t kWhatResidentWindow[] = L"常駐ウィンドウの作成";

struct StartupFailure {
  std::wstring what;
  HRESULT hr;
  std::wstring description;
};

// The option objects of the whole run. They are released before the
// apartment ends, by the owner in Main.
struct ProgramSettings {
  ComPtr<_SoftwareInfo> ViewerIdentity, AppIdentity, OptionsIdentity;
  ComPtr<_SoftwareOption> ViewerPath, ViewerMinor, AppPath, AppMinor;
  std::array<OptionRow, kOptionCount> rows{};
  std::array<ComPtr<_SoftwareOption>, kOptionCount> options;
};

ProgramSettings* g_settings = nullptr;

std::wstring DescriptionOf(HRESULT hr) {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Put()) == S_OK && info) {
    Bstr description;
    if (SUCCEEDED(info->GetDescription(description.Put())) && !description.empty())
      return description.c_str();
  }
  wchar_t* system = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&system), 0, nullptr);
  std::wstring text(system ? system : L"", length);
  LocalFree(system);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
  return text.empty() ? KnownFailureDescription(static_cast<uint32_t>(hr)) : text;
}

void Check(HRESULT hr, std::wstring what) {
  if (FAILED(hr)) throw StartupFailure{std::move(what), hr, DescriptionOf(hr)};
}

Variant MakeVariant(const OptionDefault& value) {
  Variant v;
  VARIANT* raw = v.Put();
  switch (value.type) {
    case OptionType::Integer:
      V_VT(raw) = VT_I2;
      V_I2(raw) = value.number;
      break;
    case OptionType::Boolean:
      V_VT(raw) = VT_BOOL;
      V_BOOL(raw) = value.flag ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case OptionType::String:
      return Variant::FromText(value.text);
  }
  return v;
}

ComPtr<_SoftwareInfo> CreateIdentity(const wchar_t* software, const wchar_t* section) {
  ComPtr<_SoftwareInfo> info;
  Check(CoCreateInstance(CLSID_SoftwareInfo, nullptr, CLSCTX_INPROC_SERVER, IID__SoftwareInfo,
                         reinterpret_cast<void**>(info.Put())),
        kWhatCreateInfo);
  const std::wstring name = std::wstring(software) + L"\\" + section;
  ComPtr<_SoftwareInfo> self;
  Check(info->Create(Bstr(software).get(), Bstr(section).get(), self.Put()),
        kWhatInfoCreate + name);
  return info;
}

ComPtr<_SoftwareOption> CreateOption(ComPtr<_SoftwareInfo>& identity, const wchar_t* key,
                                     OptionType type, const Variant& defaultValue) {
  ComPtr<_SoftwareOption> option;
  Check(CoCreateInstance(CLSID_SoftwareOption, nullptr, CLSCTX_INPROC_SERVER, IID__SoftwareOption,
                         reinterpret_cast<void**>(option.Put())),
        kWhatCreateOption);
  _SoftwareInfo* info = identity.get();
  Check(option->Create(&info, Bstr(key).get(), static_cast<SoftwareOptionType>(type),
                       defaultValue.get()),
        kWhatOptionCreate + std::wstring(key));
  return option;
}

void Load(ComPtr<_SoftwareOption>& option, const wchar_t* key) {
  Variant loaded;
  Check(option->LoadSetting(loaded.Put()), kWhatLoad + std::wstring(key));
}

// Assigns the value and writes it only where the store holds another one.
void Publish(ComPtr<_SoftwareOption>& option, const wchar_t* key, const Variant& value) {
  const std::wstring what = kWhatPublish + std::wstring(key);
  Check(option->put_Value(value.get()), what);
  VARIANT_BOOL saved = VARIANT_FALSE;
  Check(option->SaveSettingInChanged(&saved), what);
}

Variant ValueOf(_SoftwareOption* option) {
  Variant value;
  if (option) option->get_Value(value.Put());
  return value;
}

int32_t ToInteger(const Variant& value) {
  Variant converted;
  if (FAILED(VariantChangeType(converted.Put(), const_cast<VARIANT*>(&value.get()), 0, VT_I4)))
    return 0;
  return V_I4(&converted.get());
}

std::wstring ToText(const Variant& value) {
  Variant converted;
  if (FAILED(VariantChangeType(converted.Put(), const_cast<VARIANT*>(&value.get()), 0, VT_BSTR)))
    return {};
  const BSTR text = V_BSTR(&converted.get());
  return std::wstring(text ? text : L"", SysStringLen(text));
}

std::wstring ProgramFolder() {
  std::vector<wchar_t> path(32768);
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  return FolderOf(std::wstring_view(path.data(), length));
}

_SoftwareOption* FindOption(const wchar_t* key) {
  if (!g_settings || !key) return nullptr;
  for (size_t i = 0; i < kOptionCount; ++i) {
    if (std::wstring_view(g_settings->rows[i].key) == key) return g_settings->options[i].get();
  }
  return nullptr;
}

void InitializeOptions(ProgramSettings& s) {
  s.ViewerIdentity = CreateIdentity(kViewerSoftwareName, kAppSectionName);
  s.ViewerPath =
      CreateOption(s.ViewerIdentity, kPathKey, OptionType::String, Variant::FromText(L""));
  Load(s.ViewerPath, kPathKey);
  s.ViewerMinor = CreateOption(s.ViewerIdentity, kMinorKey, OptionType::Integer,
                               Variant::FromText(kViewerMinorDefault));
  Load(s.ViewerMinor, kMinorKey);
  const bool viewerAvailable = IsViewerAvailable(ToText(ValueOf(s.ViewerPath.get())),
                                                 ToInteger(ValueOf(s.ViewerMinor.get())));

  s.AppIdentity = CreateIdentity(kAppSoftwareName, kAppSectionName);
  const Variant folder = Variant::FromText(ProgramFolder().c_str());
  s.AppPath = CreateOption(s.AppIdentity, kPathKey, OptionType::String, folder);
  Publish(s.AppPath, kPathKey, folder);
  const Variant minor = MakeVariant({OptionType::Integer, KESTREL_VERSION_MINOR});
  s.AppMinor = CreateOption(s.AppIdentity, kMinorKey, OptionType::Integer, minor);
  Publish(s.AppMinor, kMinorKey, minor);

  s.OptionsIdentity = CreateIdentity(kAppSoftwareName, kOptionsSectionName);
  s.rows = OptionsTable(viewerAvailable);
  for (size_t i = 0; i < kOptionCount; ++i) {
    const OptionRow& row = s.rows[i];
    s.options[i] = CreateOption(s.OptionsIdentity, row.key, row.value.type, MakeVariant(row.value));
    Load(s.options[i], row.key);
  }
  TimerSeconds = OptionInteger(kCutTimerTimeKey);
}

void ShowStartupFailure(const StartupFailure& failure) {
  const std::wstring text =
      StartupFailureText(failure.what, static_cast<uint32_t>(failure.hr), failure.description);
  // A resident window that existed before the failure posted the quit
  // message as it was destroyed; the message box would take it and close
  // before anyone saw it.
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  MessageBoxW(nullptr, text.c_str(), kProgramTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int32_t OptionInteger(const wchar_t* key) { return ToInteger(ValueOf(FindOption(key))); }

bool OptionIsTrue(const wchar_t* key) {
  const Variant value = ValueOf(FindOption(key));
  if (value.vt() == VT_EMPTY) return false;
  return ToInteger(value) == VARIANT_TRUE;
}

std::wstring OptionText(const wchar_t* key) { return ToText(ValueOf(FindOption(key))); }

void SetOptionBoolean(const wchar_t* key, bool value) {
  if (_SoftwareOption* option = FindOption(key))
    option->put_Value(MakeVariant({OptionType::Boolean, 0, value}).get());
}

void SetOptionInteger(const wchar_t* key, int16_t value) {
  if (_SoftwareOption* option = FindOption(key))
    option->put_Value(MakeVariant({OptionType::Integer, value}).get());
}

void SetOptionText(const wchar_t* key, const std::wstring& value) {
  if (_SoftwareOption* option = FindOption(key))
    option->put_Value(Variant::FromText(value.c_str()).get());
}

std::wstring ViewerPathValue() {
  return g_settings ? ToText(ValueOf(g_settings->ViewerPath.get())) : std::wstring();
}

void SaveChangedOptions() {
  if (!g_settings) return;
  for (auto& option : g_settings->options) {
    VARIANT_BOOL saved = VARIANT_FALSE;
    if (option) option->SaveSettingInChanged(&saved);
  }
}

int Main(HINSTANCE instance) {
  const UniqueKernelHandle instanceMutex(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;
  RegisterRestartAfterUpdate();

  const ComApartment apartment;
  try {
    Check(apartment.result(), kWhatComInit);
    ProgramSettings settings;
    // Published first: the end of InitializeOptions reads an option already.
    g_settings = &settings;
    InitializeOptions(settings);
    int exitCode = 0;
    {
      frmBackground background(instance);
      if (!background.Load()) {
        const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
        throw StartupFailure{kWhatResidentWindow, hr, DescriptionOf(hr)};
      }
      exitCode = RunMessageLoop();
    }
    g_settings = nullptr;
    return exitCode;
  } catch (const StartupFailure& failure) {
    g_settings = nullptr;
    ShowStartupFailure(failure);
    return kExitStartupFailed;
  }
}

}  // namespace kestrel
