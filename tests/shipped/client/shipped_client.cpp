// A 32-bit client of the shipped binaries, started by the shipped-binaries
// test: it reaches the settings server through its typed interface from
// 32-bit code, and reads the clipboard, whose bitmaps a 64-bit reader cannot
// take from a 32-bit program under Wine.
//
//   kestrel_shipped_client.exe FOLDER
// writes FOLDER\com.txt (one "name=value" line per check), then waits for the
// event kReadClipboardEvent, writes the clipboard's CF_DIB to
// FOLDER\clipboard.dib and sets kClipboardReadEvent. Every process start
// costs minutes under emulation, hence one process for both.

#include <windows.h>

#include <cstdio>
#include <string>

#include "QUILLONSoftwareOptions.h"
#include "common/com_ptr.h"
#include "common/win_handles.h"
#include "tests/shipped/shipped_wire.h"

namespace {

using kestrel::Bstr;
using kestrel::ComPtr;
using kestrel::Variant;

std::wstring Hex(HRESULT hr) {
  wchar_t text[16];
  swprintf(text, 16, L"%08lX", static_cast<unsigned long>(hr));
  return text;
}

// The option kShippedKey of the application kShippedApplication as a
// 32-bit caller sees it: its loaded value, then the value it saves.
std::wstring OptionRoundTrip(long saved) {
  ComPtr<_SoftwareInfo> info;
  HRESULT hr = CoCreateInstance(CLSID_SoftwareInfo, nullptr, CLSCTX_INPROC_SERVER,
                                IID__SoftwareInfo, reinterpret_cast<void**>(info.Put()));
  if (FAILED(hr)) return L"create SoftwareInfo " + Hex(hr);
  ComPtr<_SoftwareInfo> self;
  hr = info->Create(Bstr(kShippedApplication).get(), Bstr(L"Options").get(), self.Put());
  if (FAILED(hr)) return L"SoftwareInfo.Create " + Hex(hr);

  ComPtr<_SoftwareOption> option;
  hr = CoCreateInstance(CLSID_SoftwareOption, nullptr, CLSCTX_INPROC_SERVER, IID__SoftwareOption,
                        reinterpret_cast<void**>(option.Put()));
  if (FAILED(hr)) return L"create SoftwareOption " + Hex(hr);
  _SoftwareInfo* raw = info.get();
  hr = option->Create(&raw, Bstr(kShippedKey).get(), SOT_LONG, Variant::FromText(L"0").get());
  if (FAILED(hr)) return L"SoftwareOption.Create " + Hex(hr);
  Variant loaded;
  hr = option->LoadSetting(loaded.Put());
  if (FAILED(hr)) return L"LoadSetting " + Hex(hr);
  Variant asText;
  if (FAILED(VariantChangeType(asText.Put(), const_cast<VARIANT*>(&loaded.get()), 0, VT_BSTR)))
    return L"loaded value is no number";
  std::wstring result = V_BSTR(&asText.get());

  Variant value;
  V_VT(value.Put()) = VT_I4;
  V_I4(const_cast<VARIANT*>(&value.get())) = saved;
  hr = option->put_Value(value.get());
  if (FAILED(hr)) return L"Value " + Hex(hr);
  VARIANT_BOOL written = VARIANT_FALSE;
  hr = option->SaveSettingInChanged(&written);
  if (FAILED(hr)) return L"SaveSettingInChanged " + Hex(hr);
  return result + (written ? L" saved" : L" not saved");
}

bool WriteFile(const std::wstring& path, const void* data, size_t bytes) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (!file) return false;
  const bool ok = fwrite(data, 1, bytes, file) == bytes;
  return fclose(file) == 0 && ok;
}

// The clipboard's packed DIB, written as it is; an empty file when none.
void DumpClipboard(const std::wstring& path) {
  std::string bytes;
  for (int attempt = 0; attempt < 100 && !OpenClipboard(nullptr); ++attempt) Sleep(50);
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    if (const void* dib = GlobalLock(data)) {
      bytes.assign(static_cast<const char*>(dib), GlobalSize(data));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  WriteFile(path, bytes.data(), bytes.size());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring folder = argv[1];
  const kestrel::UniqueKernelHandle readRequest{
      CreateEventW(nullptr, TRUE, FALSE, kReadClipboardEvent)};
  const kestrel::UniqueKernelHandle readDone{
      CreateEventW(nullptr, TRUE, FALSE, kClipboardReadEvent)};

  std::wstring report = L"pointer_bits=" + std::to_wstring(sizeof(void*) * 8) + L"\n";
  {
    const kestrel::ComApartment apartment;
    report += L"option=" +
              (SUCCEEDED(apartment.result()) ? OptionRoundTrip(kShippedSavedValue)
                                             : L"CoInitializeEx " + Hex(apartment.result())) +
              L"\n";
  }
  const std::string utf8(report.begin(), report.end());  // ASCII only
  const std::wstring comPath = folder + L"\\com.txt";
  const std::wstring partial = comPath + L".part";
  // Renamed into place, so the driver never reads half a report.
  if (!WriteFile(partial, utf8.data(), utf8.size()) ||
      !MoveFileExW(partial.c_str(), comPath.c_str(), MOVEFILE_REPLACE_EXISTING))
    return 3;

  if (WaitForSingleObject(readRequest.get(), kClientWaitMs) != WAIT_OBJECT_0) return 4;
  DumpClipboard(folder + L"\\clipboard.dib");
  SetEvent(readDone.get());
  return 0;
}
