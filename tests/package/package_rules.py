#!/usr/bin/env python3
"""The Windows Installer rules that Wine's msiexec does not enforce, checked
on the built packages' tables (msiinfo export) and binaries (msiextract):

  package_rules.py MSI --newer NEWER_MSI --other-msi OTHER_ARCHITECTURE_MSI

Checks both architectures' packages; prints one line of actual values per
failure and exits 1 when any rule fails. The costing simulation installs
MSI, then NEWER_MSI (a higher version whose binaries carry higher version
resources); each package over itself (a rebuild of the same version); and
each over the other architecture's. Each file of the new package must be
copied under Windows' file-versioning rules (as the package's REINSTALLMODE
modifies them) or be kept because the old product is removed after the new
one owns its component; over the other architecture it must be copied.
"""

import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile

# Windows Installer's own numbers.
HKCU = 1
REGISTRY_KEY_PATH = 0x4  # msidbComponentAttributesRegistryKeyPath
UPGRADE_ONLY_DETECT = 0x2
UPGRADE_INCLUDE_MINIMUM = 0x100
UPGRADE_INCLUDE_MAXIMUM = 0x200
EXE_FROM_FILE = 18  # custom action type: an executable installed by the package
ASYNC_NO_WAIT = 0x80 | 0x40  # msidbCustomActionTypeAsync | msidbCustomActionTypeContinue
NO_ELEVATION = 0x8  # word count: elevated privileges are not required
UI_NONE, UI_BASIC, UI_FULL = 2, 3, 5
DEFAULT_REINSTALLMODE = "omus"


class Package:
    def __init__(self, path, scratch):
        self.path = path
        self.name = os.path.basename(path)
        self.tables = {}
        self.summary = dict(
            line.split(": ", 1)
            for line in run("msiinfo", "suminfo", path).splitlines()
            if ": " in line)
        self.table_names = set(run("msiinfo", "tables", path).split())
        self.properties = {row["Property"]: row["Value"] for row in self.table("Property")}
        folder = os.path.join(scratch, self.name)
        os.makedirs(folder)
        extracted = run("msiextract", "-C", folder, path).split()
        self.binaries = {os.path.basename(f).lower(): os.path.join(folder, f) for f in extracted}

    def table(self, name):
        if name not in self.tables:
            text = run("msiinfo", "export", self.path, name)
            lines = text.replace("\r\n", "\n").split("\n")
            columns = lines[0].split("\t")
            rows = []
            for line in lines[3:]:
                if line:
                    values = line.split("\t")
                    rows.append(dict(zip(columns, values + [""] * (len(columns) - len(values)))))
            self.tables[name] = rows
        return self.tables[name]

    def files(self):
        return {row["File"]: row for row in self.table("File")}

    def file_version(self, file_row):
        """The version resource of a file as packaged, or None."""
        name = long_name(file_row["FileName"]).lower()
        return pe_version(self.binaries[name]) if name in self.binaries else None

    def directory_path(self, directory):
        rows = {row["Directory"]: row for row in self.table("Directory")}
        parts = []
        while directory:
            row = rows[directory]
            default = long_name(row["DefaultDir"].split(":")[-1])
            # The standard folders are resolved by name, not by their
            # DefaultDir of ".".
            parts.append(directory if default in (".", "SourceDir") else default)
            if default == "." or not row["Directory_Parent"]:
                break
            directory = row["Directory_Parent"]
        return "\\".join(reversed(parts))

    def sequence(self, table="InstallExecuteSequence"):
        return {row["Action"]: row for row in self.table(table)}


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def long_name(name):
    return name.split("|")[-1]


def pe_version(path):
    """dwFileVersionMS/LS of the VS_FIXEDFILEINFO in a binary, as a.b.c.d."""
    with open(path, "rb") as f:
        data = f.read()
    key = data.find("VS_VERSION_INFO".encode("utf-16-le"))
    if key < 0:
        return None
    signature = data.find(struct.pack("<I", 0xFEEF04BD), key)
    if signature < 0:
        return None
    ms, ls = struct.unpack_from("<II", data, signature + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def version_tuple(text):
    return tuple(int(part) for part in text.split("."))


def is_version(text):
    return bool(re.fullmatch(r"\d+(\.\d+){0,3}", text or ""))


# A Windows Installer condition, evaluated for the properties of one case.
def evaluate(condition, properties):
    tokens = re.findall(r'"[^"]*"|<>|<=|>=|[()=<>]|[A-Za-z_][\w.]*|\d+|\S', condition)
    position = 0

    def peek():
        return tokens[position] if position < len(tokens) else None

    def take():
        nonlocal position
        position += 1
        return tokens[position - 1]

    def value(token):
        if token.startswith('"'):
            return token[1:-1]
        if token.isdigit():
            return int(token)
        text = properties.get(token, "")
        return int(text) if re.fullmatch(r"-?\d+", str(text)) else str(text)

    def term():
        token = take()
        if token.upper() == "NOT":
            return not term()
        if token == "(":
            result = disjunction()
            take()
            return result
        left = value(token)
        if peek() in ("=", "<>", "<", ">", "<=", ">="):
            op, right = take(), value(take())
            if type(left) is not type(right):
                left, right = str(left), str(right)
            return {"=": left == right, "<>": left != right, "<": left < right,
                    ">": left > right, "<=": left <= right, ">=": left >= right}[op]
        return left not in ("", 0)

    def conjunction():
        result = term()
        while peek() and peek().upper() == "AND":
            take()
            result = term() and result
        return result

    def disjunction():
        result = conjunction()
        while peek() and peek().upper() == "OR":
            take()
            result = conjunction() or result
        return result

    return disjunction() if condition.strip() else True


# --- The rules: each yields one line of actual values per failure. ---

def versioned_files(p):
    files = p.files()
    for key, row in files.items():
        own = p.file_version(row)
        column = row["Version"]
        if own is None:
            continue
        if column == own:
            continue
        parent = files.get(column)
        if parent and p.file_version(parent) and parent["Version"] == p.file_version(parent):
            continue
        yield (f"{key}: Version column '{column}', its version resource {own}"
               f" (neither its own version nor a versioned companion)")


def key_paths(p):
    files = p.files()
    registry = {row["Registry"]: row for row in p.table("Registry")}
    for row in p.table("Component"):
        key_path, name = row["KeyPath"], row["Component"]
        owns_files = any(f["Component_"] == name for f in files.values())
        if not key_path:
            yield f"{name}: no key path (KeyPath empty, Directory_ {row['Directory_']})"
        elif not owns_files:
            value = registry.get(key_path)
            if (value is None or not int(row["Attributes"]) & REGISTRY_KEY_PATH or
                    int(value["Root"]) != HKCU):
                yield (f"{name}: key path '{key_path}' is not a per-user registry value"
                       f" (Attributes {row['Attributes']}, Root"
                       f" {value['Root'] if value else '-'})")


def template_language(p):
    template = p.summary.get("Template", "")
    language = template.split(";")[-1]
    if language != p.properties.get("ProductLanguage"):
        yield f"Template '{template}', ProductLanguage {p.properties.get('ProductLanguage')}"


def per_user(p):
    word_count = int(p.summary.get("Source", "0").split()[0])
    all_users = p.properties.get("ALLUSERS", "")
    if not word_count & NO_ELEVATION or all_users:
        yield f"word count {word_count} (no-elevation bit {word_count & NO_ELEVATION}), ALLUSERS '{all_users}'"


def registry_per_user(p):
    for table in ("Registry", "RemoveRegistry"):
        for row in p.table(table) if table in p.table_names else []:
            if int(row["Root"]) != HKCU:
                yield f"{table} {row[table]}: Root {row['Root']} key {row['Key']}"


def removing_rows(p, code, version):
    """The Upgrade rows of P that remove products of CODE from 0 up to VERSION."""
    covering = []
    for row in p.table("Upgrade"):
        attributes = int(row["Attributes"] or 0)
        if row["UpgradeCode"].upper() != code.upper() or attributes & UPGRADE_ONLY_DETECT:
            continue
        low, high = row["VersionMin"], row["VersionMax"]
        low_ok = not low or (not any(version_tuple(low)) and attributes & UPGRADE_INCLUDE_MINIMUM)
        high_ok = not high or version_tuple(high) > version or (
            version_tuple(high) == version and attributes & UPGRADE_INCLUDE_MAXIMUM)
        if low_ok and high_ok:
            covering.append(row)
    return covering


def removes(p):
    version = version_tuple(p.properties["ProductVersion"])
    wanted = [("own", p.properties["UpgradeCode"]),
              ("other architecture's", p.other.properties["UpgradeCode"])]
    rows = p.table("Upgrade")
    for label, code in wanted:
        if not removing_rows(p, code, version):
            shown = "; ".join(f"{r['UpgradeCode']} {r['VersionMin'] or '-'}..{r['VersionMax'] or '-'}"
                              f" attributes {r['Attributes']}" for r in rows)
            yield (f"no Upgrade row removes the {label} products ({code}) from 0 to"
                   f" {p.properties['ProductVersion']} inclusive: {shown}")
    sequence = p.sequence()
    for action in ("FindRelatedProducts", "RemoveExistingProducts"):
        if action not in sequence:
            yield f"{action} is not in InstallExecuteSequence"
    secure = p.properties.get("SecureCustomProperties", "").split(";")
    for row in rows:
        if row["ActionProperty"] not in secure:
            yield f"Upgrade property {row['ActionProperty']} not in SecureCustomProperties {secure}"


# The cases the launch condition is read in: (case, properties, launches).
LAUNCH_CASES = [
    ("interactive install", {"UILevel": UI_FULL}, True),
    ("basic UI install (/qb)", {"UILevel": UI_BASIC}, True),
    ("upgrade, interactive", {"UILevel": UI_FULL, "WIX_UPGRADE_DETECTED": "{X}"}, True),
    ("silent install (/qn)", {"UILevel": UI_NONE}, False),
    ("uninstall", {"UILevel": UI_FULL, "Installed": "00:00:00", "REMOVE": "ALL"}, False),
    ("repair (/fa)", {"UILevel": UI_FULL, "Installed": "00:00:00", "REINSTALL": "ALL"}, False),
    ("install again (maintenance)", {"UILevel": UI_FULL, "Installed": "00:00:00"}, False),
]


def launch(p):
    files = p.files()
    actions = [row for row in p.table("CustomAction")
               if int(row["Type"]) & 0x3F == EXE_FROM_FILE and
               files.get(row["Source"], {}).get("FileName", "").endswith("Kestrel5.exe")]
    if not actions:
        yield "no custom action runs the installed Kestrel5.exe"
        return
    action = actions[0]
    if int(action["Type"]) & ASYNC_NO_WAIT != ASYNC_NO_WAIT:
        yield f"{action['Action']}: type {action['Type']} waits for the program"
    sequence = p.sequence()
    row = sequence.get(action["Action"])
    if row is None:
        yield f"{action['Action']} is not in InstallExecuteSequence"
        return
    if int(row["Sequence"]) <= int(sequence["InstallFinalize"]["Sequence"]):
        yield f"{action['Action']} at {row['Sequence']}, before the install ends (InstallFinalize)"
    for case, properties, launches in LAUNCH_CASES:
        if evaluate(row["Condition"], properties) != launches:
            yield (f"{action['Action']} condition '{row['Condition']}' in case {case}:"
                   f" {'launches' if not launches else 'does not launch'}")


# --- Costing of an upgrade ---

def installed_files(p):
    """Where each file of a package lands: path -> (version, component GUID)."""
    components = {row["Component"]: row for row in p.table("Component")}
    out = {}
    for row in p.files().values():
        component = components[row["Component_"]]
        path = p.directory_path(component["Directory_"]) + "\\" + long_name(row["FileName"])
        out[path.lower()] = (p.file_version(row), component["ComponentId"])
    return out


def copies(new_version, disk_version, mode):
    """Windows' file-versioning rules, as REINSTALLMODE modifies them."""
    if "a" in mode:
        return True, "copied (REINSTALLMODE a)"
    if new_version and disk_version:
        n, d = version_tuple(new_version), version_tuple(disk_version)
        if n > d:
            return True, f"copied ({new_version} over {disk_version})"
        if n == d:
            return "e" in mode, (f"{'copied' if 'e' in mode else 'not copied'} (equal versions"
                                 f" {new_version}, REINSTALLMODE {mode})")
        return "d" in mode, f"lower version {new_version} than {disk_version} on disk"
    if new_version:
        return True, f"copied (versioned {new_version} over an unversioned file)"
    if disk_version:
        return False, f"unversioned in the package, {disk_version} on disk"
    return True, "copied (unversioned over unversioned, unmodified)"


def simulate(old, new):
    """Each file of NEW after it is installed over OLD: (file, copied, why),
    copied None for a file kept on disk."""
    if not removing_rows(new, old.properties["UpgradeCode"],
                         version_tuple(old.properties["ProductVersion"])):
        return [("(product)", False, f"{old.properties['ProductVersion']} of"
                 f" {old.properties['UpgradeCode']} is not replaced: both stay installed")]
    disk = installed_files(old)
    mode = new.properties.get("REINSTALLMODE", DEFAULT_REINSTALLMODE)
    sequence = new.sequence()
    position = {name: int(row["Sequence"]) for name, row in sequence.items()}
    remove_at = position.get("RemoveExistingProducts", 0)
    owned_at = min(position.get(a, 10**9) for a in ("InstallExecute", "InstallExecuteAgain",
                                                    "InstallFinalize"))
    late = remove_at > owned_at
    files = new.files()
    components = {row["Component"]: row for row in new.table("Component")}
    decisions = {}

    def decide(key):
        if key in decisions:
            return decisions[key]
        row = files[key]
        component = components[row["Component_"]]
        path = (new.directory_path(component["Directory_"]) + "\\" +
                long_name(row["FileName"])).lower()
        if row["Version"] in files:  # a companion shares its parent's fate
            copied, why = decide(row["Version"])
            decisions[key] = (copied, f"companion of {row['Version']}: {why}")
            return decisions[key]
        if path not in disk:
            copied, why = True, "copied (not on disk)"
        else:
            copied, why = copies(row["Version"] if is_version(row["Version"]) else None,
                                 disk[path][0], mode)
        if not copied:
            same_component = path in disk and disk[path][1] == component["ComponentId"]
            if late and same_component:
                why += f"; kept: the old product is removed at {remove_at}, after the new one" \
                       f" owns component {component['ComponentId']}"
                decisions[key] = (None, why)
                return decisions[key]
            why += (f"; not copied, then deleted with the old product (RemoveExistingProducts"
                    f" {remove_at}, {'same' if same_component else 'another'} component)")
        decisions[key] = (copied, why)
        return decisions[key]

    return [(long_name(files[key]["FileName"]),) + decide(key) for key in sorted(files)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("msi")
    parser.add_argument("--newer", required=True)
    parser.add_argument("--other-msi", required=True)
    args = parser.parse_args()
    if not os.path.exists(args.other_msi):
        print(f"FAIL the other architecture's package {args.other_msi} is not built"
              f" (scripts/build.sh builds each architecture's tree)")
        return 1
    with tempfile.TemporaryDirectory() as scratch:
        package = Package(args.msi, scratch)
        other = Package(args.other_msi, scratch)
        package.other, other.other = other, package
        rules = [
            ("every versioned file's Version is its own version or a companion's", versioned_files),
            ("every component has a key path, per-user registry where it has no file", key_paths),
            ("Template's language is ProductLanguage", template_language),
            ("per user, no elevation", per_user),
            ("no registry row outside HKCU", registry_per_user),
            ("removes its own older and same versions and the other architecture's", removes),
            ("launches the program after an interactive install, without waiting", launch),
        ]
        failures = 0
        for title, rule in rules:
            lines = [f"{p.name}: {line}" for p in (package, other) for line in rule(p)]
            print(f"{'FAIL' if lines else 'ok  '} {title}")
            for line in lines:
                print(f"     {line}")
            failures += bool(lines)

        # Who is installed over whom: (case, old, new, a kept file is enough).
        # Over the other architecture every file must be copied: the kept
        # one would be the other architecture's.
        upgrades = [("upgrade to a higher version", package, Package(args.newer, scratch), True),
                    ("rebuild of the same version", package, package, True),
                    ("rebuild of the same version", other, other, True),
                    ("over the other architecture", other, package, False),
                    ("over the other architecture", package, other, False)]
        for case, old, new, keeping_will_do in upgrades:
            outcome = simulate(old, new)
            lost = [name for name, copied, _ in outcome
                    if copied is False or (copied is None and not keeping_will_do)]
            print(f"{'FAIL' if lost else 'ok  '} costing: {case}, {old.name} -> {new.name}")
            for name, copied, why in outcome:
                state = {True: "copied", None: "kept", False: "LOST"}[copied]
                if name == "(product)":
                    state = "NOT REPLACED"
                print(f"     {name}: {state}: {why}")
            failures += bool(lost)
    print(f"package_rules: {failures} failed" if failures else "package_rules: all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
