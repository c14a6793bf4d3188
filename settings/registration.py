#!/usr/bin/env python3
"""The settings server's registration, derived from its IDL at build time.

One table of registry entries, written in three forms so that they cannot
drift apart:
  header    the C++ table that DllRegisterServer writes and
            DllUnregisterServer removes (under HKEY_CLASSES_ROOT);
  wix       the package's per-user rows (HKCU\\Software\\Classes);
  manifest  the <file> element that lets Kestrel5.exe activate the classes
            from the DLL beside it, with nothing registered.

  registration.py header|wix|manifest IDL ARCH(x86|x64) OUT
"""
import re
import sys
from xml.sax.saxutils import quoteattr

# The type library marshaller (oleaut32's PSOAInterface).
TYPELIB_MARSHALLER = "{00020424-0000-0000-C000-000000000046}"
THREADING_MODEL = "Apartment"
# Values that are paths of the installed library, not texts.
DLL, DIR = object(), object()
# Where the package writes the classes: the user's own part of the classes.
CLASSES = "Software\\Classes\\"


def parse(idl):
    """The library, its interfaces and its classes: (name, {GUID}, attributes)."""
    text = re.sub(r"//[^\n]*", "", idl)
    found = {"library": [], "interface": [], "coclass": []}
    for attrs, kind, name in re.findall(
        r"\[([^\[\]]*)\]\s*(library|interface|coclass)\s+(\w+)", text
    ):
        uuid = re.search(r"\buuid\(\s*([0-9A-Fa-f-]{36})\s*\)", attrs)
        if uuid:
            found[kind].append((name, "{" + uuid.group(1).upper() + "}", attrs))
    if len(found["library"]) != 1 or not found["coclass"]:
        sys.exit("registration.py: the IDL declares no library or no class")
    return found


def attribute(attrs, name, default=None):
    m = re.search(r"\b" + name + r'\(\s*"?([^")]*)"?\s*\)', attrs)
    return m.group(1) if m else default


class Table:
    """The registry entries of the server and the keys it owns."""

    def __init__(self, idl, arch):
        found = parse(idl)
        self.library, self.libid, attrs = found["library"][0]
        self.version = attribute(attrs, "version", "1.0")
        helpstring = attribute(attrs, "helpstring", self.library)
        self.dll = self.library + ".dll"
        lib = rf"TypeLib\{self.libid}\{self.version}"
        platform = "win64" if arch == "x64" else "win32"
        self.rows = [
            (lib, None, helpstring),
            (rf"{lib}\0\{platform}", None, DLL),
            (rf"{lib}\FLAGS", None, "0"),
            (rf"{lib}\HELPDIR", None, DIR),
        ]
        # Automation interfaces are marshalled from the type library.
        self.interfaces = [
            (name, iid)
            for name, iid, a in found["interface"]
            if re.search(r"\b(dual|oleautomation)\b", a)
        ]
        for name, iid in self.interfaces:
            key = rf"Interface\{iid}"
            self.rows += [
                (key, None, name),
                (rf"{key}\ProxyStubClsid", None, TYPELIB_MARSHALLER),
                (rf"{key}\ProxyStubClsid32", None, TYPELIB_MARSHALLER),
                (rf"{key}\TypeLib", None, self.libid),
                (rf"{key}\TypeLib", "Version", self.version),
            ]
        # The ProgID of each class is the library's name and the class's.
        self.classes = [(f"{self.library}.{name}", clsid) for name, clsid, _ in found["coclass"]]
        for progid, clsid in self.classes:
            key = rf"CLSID\{clsid}"
            self.rows += [
                (key, None, progid),
                (rf"{key}\InprocServer32", None, DLL),
                (rf"{key}\InprocServer32", "ThreadingModel", THREADING_MODEL),
                (rf"{key}\ProgID", None, progid),
                (rf"{key}\TypeLib", None, self.libid),
                (rf"{key}\VERSION", None, self.version),
                (progid, None, progid),
                (rf"{progid}\CLSID", None, clsid),
            ]
        # Removed whole on unregistration; the library's key only when no
        # other version is left in it.
        self.trees = [rf"CLSID\{c}" for _, c in self.classes]
        self.trees += [rf"Interface\{i}" for _, i in self.interfaces]
        self.trees.append(lib)
        self.emptied = [rf"TypeLib\{self.libid}"]


def cxx(text):
    return 'L"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"' if text is not None else "nullptr"


def header(t):
    source = {DLL: "Source::ModulePath", DIR: "Source::ModuleFolder"}
    out = ["// Generated from the IDL by settings/registration.py: do not edit.", "#pragma once",
           '#include "settings/registration.h"', "", "namespace settings::registration {", "",
           "inline constexpr Row kRows[] = {"]
    for key, name, value in t.rows:
        if value in source:
            out.append(f"    {{{cxx(key)}, {cxx(name)}, {source[value]}, nullptr}},")
        else:
            out.append(f"    {{{cxx(key)}, {cxx(name)}, Source::Text, {cxx(value)}}},")
    out += ["};", "", "inline constexpr const wchar_t* kTrees[] = {"]
    out += [f"    {cxx(k)}," for k in t.trees]
    out += ["};", "", "inline constexpr const wchar_t* kRemovedWhenEmpty[] = {"]
    out += [f"    {cxx(k)}," for k in t.emptied]
    out += ["};", "", "inline constexpr ProgId kProgIds[] = {"]
    out += [f"    {{{cxx(p)}, {cxx(c)}}}," for p, c in t.classes]
    out += ["};", "", "}  // namespace settings::registration", ""]
    return "\n".join(out)


def wix(t, arch):
    value = {DLL: "[#SettingsDll]", DIR: "[INSTALLDIR]"}
    win64 = "yes" if arch == "x64" else "no"
    out = ['<?xml version="1.0" encoding="utf-8"?>',
           "<!-- Generated from the IDL by settings/registration.py: do not edit. -->",
           '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">', "  <Fragment>",
           '    <DirectoryRef Id="INSTALLDIR">',
           f'      <Component Id="SettingsRegistration" Guid="$(var.RegistrationGuid)" Win64="{win64}">']
    for i, (key, name, v) in enumerate(t.rows):
        attrs = 'Root="HKCU" Key=' + quoteattr(CLASSES + key)
        if name is not None:
            attrs += f" Name={quoteattr(name)}"
        attrs += f' Type="string" Value={quoteattr(value.get(v, v))}'
        if i == 0:
            attrs += ' KeyPath="yes"'
        out.append(f"        <RegistryValue {attrs}/>")
    out += ["      </Component>", "    </DirectoryRef>", "  </Fragment>", "</Wix>", ""]
    return "\n".join(out)


def manifest(t):
    out = [f"  <file name={quoteattr(t.dll)}>"]
    for progid, clsid in t.classes:
        out.append(f'    <comClass clsid="{clsid}" threadingModel="{THREADING_MODEL}" '
                   f'progid="{progid}" tlbid="{t.libid}"/>')
    out.append(f'    <typelib tlbid="{t.libid}" version="{t.version}" helpdir=""/>')
    out.append("  </file>")
    return "\n".join(out)


def main():
    if len(sys.argv) != 5 or sys.argv[1] not in ("header", "wix", "manifest") or \
            sys.argv[3] not in ("x86", "x64"):
        sys.exit(__doc__)
    form, idl, arch, target = sys.argv[1:]
    with open(idl, encoding="utf-8") as f:
        table = Table(f.read(), arch)
    text = {"header": lambda: header(table), "wix": lambda: wix(table, arch),
            "manifest": lambda: manifest(table)}[form]()
    # Rewritten only when it changes, so that a new configure rebuilds nothing.
    try:
        with open(target, encoding="utf-8") as f:
            if f.read() == text:
                return
    except FileNotFoundError:
        pass
    with open(target, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
