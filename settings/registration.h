#pragma once
// The shape of the server's registration table. The table itself
// (registration_table.h) is generated from the IDL by registration.py, which
// writes the package's per-user rows and the program's manifest entries from
// the same description.

namespace settings::registration {

// Where a value's text comes from when it is written.
enum class Source {
  Text,          // the row's text
  ModulePath,    // the full path of the library file
  ModuleFolder,  // its folder, with a trailing separator
};

// One value under HKEY_CLASSES_ROOT; a null name is the key's default value.
struct Row {
  const wchar_t* key;
  const wchar_t* name;
  Source source;
  const wchar_t* text;
};

// A ProgID and the class identifier it must still name to be removed.
struct ProgId {
  const wchar_t* progId;
  const wchar_t* clsid;
};

}  // namespace settings::registration
