#!/usr/bin/env python3
"""The Windows programs of a build checked as files, on the host, without running them (so also
where Wine cannot run them): each is a whole PE program of the build's machine for the GUI
subsystem, imports only the system's libraries (the runtime is linked in), has no time stamp in
its header (two builds of one commit give the same bytes), and carries its version strings, its
manifest and its icon of 16, 24, 32, 48 and 256 pixels.
  program_files.py <Windows build folder> i386|amd64
Prints one line per fault and exits 1 when there is any."""
import struct
import sys

PROGRAMS = [  # built file, InternalName, OriginalFilename
    ("programs/SEVRIK.exe", "SEVRIK", "SEVRIK.exe"),
    ("shim/ZUL.exe", "ZUL", "ZUL.exe"),
    ("updater/Ranuvel Plug-In.exe", "Ranuvel Plug-In", "Ranuvel Plug-In.exe"),
]
VERSION = "2.0.0"
STRINGS = {"CompanyName": "SEVRIK developers", "ProductName": "SEVRIK",
           "LegalCopyright": "Copyright (C) SEVRIK developers", "FileVersion": VERSION, "ProductVersion": VERSION}
MACHINES = {"i386": (0x14C, 0x10B), "amd64": (0x8664, 0x20B)}  # machine, optional header magic
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "shell32.dll",
               "advapi32.dll", "ole32.dll", "odbc32.dll", "msvcrt.dll", "version.dll", "psapi.dll", "ws2_32.dll",
               "shlwapi.dll", "uxtheme.dll", "dwmapi.dll", "imm32.dll"}
ICON_SIZES = [16, 24, 32, 48, 256]
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


class Fault(Exception):
    pass


class Pe:
    def __init__(self, data, machine):
        self.data = data
        if data[:2] != b"MZ":
            raise Fault("not a program: no MZ header")
        self.header = self.u32(0x3C)
        if data[self.header:self.header + 4] != b"PE\0\0":
            raise Fault("not a program: no PE signature")
        file_header = self.header + 4
        got_machine, sections, self.time_stamp = struct.unpack_from("<HHI", data, file_header)
        optional_size, characteristics = struct.unpack_from("<HH", data, file_header + 16)
        optional = file_header + 20
        want_machine, want_magic = MACHINES[machine]
        if got_machine != want_machine or self.u16(optional) != want_magic:
            raise Fault(f"machine {got_machine:#x}, optional header {self.u16(optional):#x}: not {machine}")
        if not characteristics & 0x0002:
            raise Fault("not an executable image")
        wide = want_magic == 0x20B
        self.subsystem = self.u16(optional + 68)
        directories = optional + (112 if wide else 96)
        count = self.u32(directories - 4)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(count)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            at = table + 40 * i
            name = data[at:at + 8].rstrip(b"\0").decode("ascii", "replace")
            size, rva, raw_size, raw = struct.unpack_from("<IIII", data, at + 8)
            if raw + raw_size > len(data):
                raise Fault(f"not a whole program: section {i + 1} ({name}) ends past the end of the file")
            self.sections.append((rva, max(size, raw_size), raw))
        if table + 40 * sections > len(data):
            raise Fault("not a whole program: the section table ends past the end of the file")

    def u16(self, at):
        return struct.unpack_from("<H", self.data, at)[0]

    def u32(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise Fault(f"RVA {rva:#x} lies in no section")

    def text(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imports(self):
        rva, _ = self.directories[1]
        names, at = [], self.offset(rva)
        while any(self.data[at:at + 20]):
            names.append(self.text(self.u32(at + 12)))
            at += 20
        return names

    def resources(self):
        """{(type, name): bytes} of the resource tree (first language of each), ids as numbers."""
        rva, _ = self.directories[2]
        if not rva:
            return {}
        root = self.offset(rva)

        def entries(at):
            named, ids = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + ids):
                key, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                if key & 0x80000000:
                    k = key & 0x7FFFFFFF
                    length = self.u16(root + k)
                    key = self.data[root + k + 2:root + k + 2 + 2 * length].decode("utf-16-le")
                yield key, target

        found = {}
        for kind, to_names in entries(root):
            for name, to_languages in entries(root + (to_names & 0x7FFFFFFF)):
                _, leaf = next(entries(root + (to_languages & 0x7FFFFFFF)))
                data_rva, size = struct.unpack_from("<II", self.data, root + leaf)
                found[(kind, name)] = self.data[self.offset(data_rva):self.offset(data_rva) + size]
        return found


def version_strings(block):
    """The StringFileInfo values of a VS_VERSIONINFO resource."""
    values = {}

    def walk(at, end, depth):
        while at + 6 <= end:
            length, value_length, kind = struct.unpack_from("<HHH", block, at)
            if length == 0:
                break
            key_end = at + 6
            while block[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            if depth == 3 and kind == 1:  # a String of a StringTable
                values[key] = block[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
            children = value_at + (2 * value_length if kind == 1 else value_length)
            if depth < 3 and (depth > 0 or key == "VS_VERSION_INFO"):
                walk((children + 3) & ~3, at + length, depth + 1)
            at = (at + length + 3) & ~3

    walk(0, len(block), 0)
    return values


def check(path, internal, original, machine):
    data = open(path, "rb").read()
    pe = Pe(data, machine)
    faults = []
    if pe.subsystem != 2:
        faults.append(f"subsystem {pe.subsystem}, not the GUI's (2)")
    if pe.time_stamp != 0:
        faults.append(f"time stamp {pe.time_stamp:#x} in the file header (the bytes differ per build)")
    foreign = [d for d in pe.imports() if d.lower() not in SYSTEM_DLLS]
    if foreign:
        faults.append("imports libraries that Windows does not carry: " + ", ".join(foreign))
    res = pe.resources()
    if (RT_VERSION, 1) not in res:
        faults.append("no version resource")
    else:
        got = version_strings(res[(RT_VERSION, 1)])
        want = dict(STRINGS, InternalName=internal, OriginalFilename=original)
        for key, value in want.items():
            if got.get(key) != value:
                faults.append(f"version string {key} is {got.get(key)!r}, not {value!r}")
        if internal not in got.get("FileDescription", ""):
            faults.append(f"FileDescription {got.get('FileDescription')!r} does not name {internal}")
    manifest = res.get((RT_MANIFEST, 1), b"").decode("utf-8", "replace")
    for part in ('Microsoft.Windows.Common-Controls" version="6.0.0.0"', "PerMonitorV2", "true/pm",
                 'level="asInvoker"'):
        if part not in manifest:
            faults.append(f"the manifest lacks {part}")
    group = res.get((RT_GROUP_ICON, 1), b"")
    if len(group) < 6:
        faults.append("no icon")
    else:
        count = struct.unpack_from("<H", group, 4)[0]
        sizes = []
        for i in range(count):
            width, _, _, _, _, bits, _, icon = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            image = res.get((RT_ICON, icon), b"")
            side = width or 256
            sizes.append(side)
            if bits != 32 or not image:
                faults.append(f"the {side}-pixel icon image is missing or not 32-bit")
            elif side == 256 and not image.startswith(b"\x89PNG\r\n\x1a\n"):
                faults.append("the 256-pixel icon image is not a PNG")
        if sizes != ICON_SIZES:
            faults.append(f"icon sizes {sizes}, not {ICON_SIZES}")
    return faults


def main():
    build, machine = sys.argv[1], sys.argv[2]
    failed = False
    for built, internal, original in PROGRAMS:
        try:
            faults = check(f"{build}/{built}", internal, original, machine)
        except Fault as e:
            faults = [str(e)]
        except (OSError, struct.error, ValueError, UnicodeDecodeError) as e:
            faults = [f"cannot be read as a program: {e}"]
        for fault in faults:
            print(f"{built}: {fault}")
        print(f"{built}: {'FAILED' if faults else 'ok'}")
        failed = failed or bool(faults)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
