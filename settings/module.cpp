#include "module.h"

#include <windows.h>

#include <atomic>
#include <mutex>

#include "common/com_ptr.h"

namespace settings::module {
namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

struct TypeInfoCache {
  std::mutex lock;
  kestrel::ComPtr<ITypeLib> library;
};

TypeInfoCache& Cache() {
  static TypeInfoCache cache;
  return cache;
}

HRESULT LoadLibraryTypeLib(kestrel::ComPtr<ITypeLib>& library) {
  auto& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  if (!cache.library) {
    const HRESULT hr = LoadTypeLibEx(ModulePath(), REGKIND_NONE, cache.library.Put());
    if (FAILED(hr)) return hr;
  }
  library = cache.library;
  return S_OK;
}

}  // namespace

void ObjectCreated() { ++g_objects; }
void ObjectDestroyed() { --g_objects; }
void LockServer(bool lock) {
  if (lock) {
    ++g_locks;
  } else {
    --g_locks;
  }
}
bool InUse() { return g_objects.load() > 0 || g_locks.load() > 0; }

HRESULT DispatchTypeInfo(REFIID iid, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  kestrel::ComPtr<ITypeLib> library;
  const HRESULT hr = LoadLibraryTypeLib(library);
  if (FAILED(hr)) return hr;
  return library->GetTypeInfoOfGuid(iid, info);
}

HRESULT VtableTypeInfo(REFIID iid, ITypeInfo** info) {
  kestrel::ComPtr<ITypeInfo> dispatch;
  HRESULT hr = DispatchTypeInfo(iid, dispatch.Put());
  if (FAILED(hr)) return hr;
  // A dual interface's dispatch description refers to its vtable one as
  // implemented type -1.
  HREFTYPE vtable = 0;
  hr = dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable);
  if (FAILED(hr)) return hr;
  return dispatch->GetRefTypeInfo(vtable, info);
}

void ReleaseTypeInfoCache() {
  auto& cache = Cache();
  std::lock_guard<std::mutex> guard(cache.lock);
  cache.library.Reset();
}

const wchar_t* ModulePath() {
  static wchar_t path[MAX_PATH * 4] = L"";
  static std::once_flag once;
  std::call_once(once, [] {
    HMODULE self = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ModulePath), &self);
    GetModuleFileNameW(self, path, static_cast<DWORD>(std::size(path)));
  });
  return path;
}

}  // namespace settings::module
