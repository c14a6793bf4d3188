#pragma once
// What the library shares between its objects: the counts behind
// DllCanUnloadNow and the type information loaded from its own resource.

#include <oaidl.h>

namespace settings::module {

void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
// True while any object lives or any factory is locked.
bool InUse();

// The type information of a dual interface from the library's embedded type
// library, loaded once. The dispatch form answers GetTypeInfo; the vtable
// form drives ITypeInfo::Invoke through the interface's own slots.
HRESULT DispatchTypeInfo(REFIID iid, ITypeInfo** info);
HRESULT VtableTypeInfo(REFIID iid, ITypeInfo** info);

// Releases the cached type information; only while nothing is in use.
void ReleaseTypeInfoCache();

// The full path of the library file.
const wchar_t* ModulePath();

}  // namespace settings::module
