#!/usr/bin/python3
"""Checks the zip a Windows user downloads, given as build/dist/zev-<version>-win32.zip."""
import re
import sys
import zipfile
from datetime import datetime, timezone
import xml.etree.ElementTree as ET

import pefile

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "comctl32.dll", "comdlg32.dll",
               "advapi32.dll", "ole32.dll", "oleaut32.dll", "shlwapi.dll", "uxtheme.dll", "msvcrt.dll",
               # Windows' own normal forms; part of the system since Vista.
               "normaliz.dll"}
V1, V3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
SUPPORTED_OS = "{urn:schemas-microsoft-com:compatibility.v1}supportedOS"
WINDOWS_10_AND_11 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"


def exe_faults(pe, version, numbers):
    faults = []
    if pe.FILE_HEADER.Machine != pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]:
        faults.append("zev.exe is not a 32-bit x86 program")
    if pe.OPTIONAL_HEADER.Subsystem != pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"]:
        faults.append("zev.exe is not a GUI program")
    if pe.FILE_HEADER.NumberOfSymbols:
        faults.append("zev.exe is not stripped")
    foreign = {e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT} - SYSTEM_DLLS
    if foreign:
        faults.append(f"zev.exe imports DLLs Windows lacks: {sorted(foreign)}")

    strings = {k: v for info in pe.FileInfo for block in info
               for table in getattr(block, "StringTable", []) for k, v in table.entries.items()}
    fixed = pe.VS_FIXEDFILEINFO[0]
    for name in ("FileVersion", "ProductVersion"):
        if strings.get(name.encode()) != version.encode():
            faults.append(f"{name} is {strings.get(name.encode())!r}, not {version}")
        ms, ls = getattr(fixed, name + "MS"), getattr(fixed, name + "LS")
        if (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF) != numbers:
            faults.append(f"the fixed {name} is not {numbers}")

    manifests = [pe.get_data(leaf.data.struct.OffsetToData, leaf.data.struct.Size)
                 for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries
                 if kind.id == pefile.RESOURCE_TYPE["RT_MANIFEST"]
                 for name in kind.directory.entries for leaf in name.directory.entries]
    if len(manifests) != 1:
        return faults + [f"zev.exe holds {len(manifests)} manifests, not one"]
    root = ET.fromstring(manifests[0])
    if root.find(V1 + "assemblyIdentity").get("version") != ".".join(map(str, numbers)):
        faults.append("the manifest's assemblyIdentity does not carry the version")
    levels = [e.get("level") for e in root.findall(
        f"{V3}trustInfo/{V3}security/{V3}requestedPrivileges/{V3}requestedExecutionLevel")]
    if levels != ["asInvoker"]:
        faults.append(f"the manifest's trustInfo asks for {levels}, not asInvoker")
    if WINDOWS_10_AND_11 not in [e.get("Id") for e in root.iter(SUPPORTED_OS)]:
        faults.append("the manifest's supportedOS leaves out Windows 10 and 11")
    return faults


def readme_faults(data, version):
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as e:
        return [f"readme.txt is not code page 932: {e}"]
    faults = []
    # CR and LF never occur inside a code-page-932 character.
    if not text.endswith("\r\n") or not text.count("\n") == text.count("\r\n") == text.count("\r"):
        faults.append("readme.txt does not end every line in CR LF")
    first = text.splitlines()[0] if text else ""
    if first != f"ZEV {version}  ディスク最新情報":
        faults.append(f"readme.txt's first line is {first!r}")
    return faults


def time_faults(pe, infos):
    """One time throughout, the last commit's, never the moment of a build or a run: the PE header's, the
    resource directory's (or none) and both files' in the zip (UTC, rounded up to its two seconds as zip does)."""
    stamp = pe.FILE_HEADER.TimeDateStamp
    faults = []
    resources = pe.DIRECTORY_ENTRY_RESOURCE.struct.TimeDateStamp
    if resources not in (0, stamp):
        faults.append(f"the resource directory's time {resources} is not the program's {stamp}")
    at = datetime.fromtimestamp(stamp + stamp % 2, timezone.utc)
    dos = (at.year, at.month, at.day, at.hour, at.minute, at.second)
    for info in infos:
        if info.date_time != dos:
            faults.append(f"{info.filename} is stored with the time {info.date_time}, not the program's {dos}")
    return faults


def faults_of(path):
    match = re.search(r"zev-(\d+)\.(\d)(\d)-win32\.zip$", path)
    if not match:
        return [f"{path} is not named zev-<version>-win32.zip"]
    version = "{}.{}{}".format(*match.groups())
    numbers = tuple(map(int, match.groups())) + (0,)
    with zipfile.ZipFile(path) as z:
        if sorted(z.namelist()) != ["readme.txt", "zev.exe"]:
            return [f"the zip holds {z.namelist()}, not zev.exe and readme.txt"]
        exe, readme, infos = z.read("zev.exe"), z.read("readme.txt"), z.infolist()
    pe = pefile.PE(data=exe)
    return exe_faults(pe, version, numbers) + time_faults(pe, infos) + readme_faults(readme, version)


if __name__ == "__main__":
    faults = faults_of(sys.argv[1])
    for fault in faults:
        print(f"package: {fault}", file=sys.stderr)
    print(f"package: {sys.argv[1]} {'has faults' if faults else 'checked'}")
    sys.exit(1 if faults else 0)
