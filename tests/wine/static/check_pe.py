"""Static checks of brenlow.scr and quillet.exe (i686): PE headers, imports
and resources.

    python3 check_pe.py saver|installer <program>"""

import pathlib
import sys

import pefile

# DLLs that every Windows installation has; nothing else may be imported.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "msvcrt.dll",
    "advapi32.dll", "shell32.dll", "winmm.dll", "ole32.dll", "oleaut32.dll", "shlwapi.dll",
    "uxtheme.dll", "version.dll", "wtsapi32.dll",
}

# msvcrt's abort shows a modal "Runtime Error!" box in a GUI program and
# holds the process until it is clicked; Wine shows none, so only the
# imports tell. Both programs link with --wrap=abort instead.
FORBIDDEN_IMPORTS = {("msvcrt.dll", "abort")}

LICENSE = pathlib.Path(__file__).resolve().parents[3] / "LICENSE"

# What each program must carry beyond what both do.
PROGRAMS = {
    # The saver runs unelevated (a standard user saves its settings into
    # the VirtualStore), at the monitor's own scale.
    "saver": {"string 1": "brenlow", "OriginalFilename": "brenlow.scr",
              "manifest": [("requestedExecutionLevel", False), ("true/pm", True),
                           ("PerMonitorV2", True)]},
    "installer": {"string 1": None, "OriginalFilename": "quillet.exe",
                  "manifest": [('level="requireAdministrator"', True)]},
}


def resources(pe, kind):
    """The name-level entries of one resource type."""
    types = pe.DIRECTORY_ENTRY_RESOURCE.entries if hasattr(pe, "DIRECTORY_ENTRY_RESOURCE") else []
    return [e for t in types if t.id == pefile.RESOURCE_TYPE[kind] for e in t.directory.entries]


def main():
    role, program = sys.argv[1], sys.argv[2]
    expected = PROGRAMS[role]
    notice = next(line for line in LICENSE.read_text().splitlines() if line.startswith("Copyright"))
    pe = pefile.PE(program)
    imports = {(e.dll.decode().lower(), (i.name or b"").decode())
               for e in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) for i in e.imports}
    dlls = {dll for dll, _ in imports}
    strings = {k: v for e in resources(pe, "RT_STRING") for k, v in
               getattr(e.directory, "strings", {}).items()}
    manifests = [pe.get_data(leaf.data.struct.OffsetToData, leaf.data.struct.Size)
                 for e in resources(pe, "RT_MANIFEST") for leaf in e.directory.entries]
    versions = [{k.decode(): v.decode() for k, v in table.entries.items()}
                for info in getattr(pe, "FileInfo", []) for block in info
                for table in getattr(block, "StringTable", [])]
    header = pe.OPTIONAL_HEADER
    checks = [
        (pe.FILE_HEADER.Machine == 0x14C, f"machine {pe.FILE_HEADER.Machine:#x}, not i386"),
        (header.Subsystem == 2, f"subsystem {header.Subsystem}, not a GUI program"),
        (pe.FILE_HEADER.IMAGE_FILE_LARGE_ADDRESS_AWARE,
         "not large address aware: 2 GB of addresses where 4 GB could be had"),
        (header.IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE,
         "not terminal-server aware: a Remote Desktop host would give it a per-user Windows "
         "folder"),
        (dlls, "no imports found"),
        (len(manifests) == 1, f"{len(manifests)} manifests, expected exactly ours"),
        (strings.get(1) == expected["string 1"],
         f"string 1 is {strings.get(1)!r}, expected {expected['string 1']!r}"),
        (resources(pe, "RT_GROUP_ICON"), "no icon resource"),
        (len(versions) == 1, f"{len(versions)} version resources, expected one"),
    ]
    checks += [(False, f"imports {dll}, which is not a system DLL")
               for dll in sorted(dlls - SYSTEM_DLLS)]
    checks += [(False, f"imports {function} from {dll}: its box would hold a failed program")
               for dll, function in sorted(imports & FORBIDDEN_IMPORTS)]
    for manifest in manifests:
        text = manifest.decode("utf-8", "replace")
        checks.append(("Microsoft.Windows.Common-Controls" in text and 'version="6.0.0.0"' in text,
                       "manifest lacks common controls 6"))
        checks += [((needle in text) == wanted, f"manifest {'lacks' if wanted else 'has'} {needle}")
                   for needle, wanted in expected["manifest"]]
    for values in versions:
        checks += [(values.get(key), f"version information lacks {key}") for key in
                   ("CompanyName", "FileDescription", "FileVersion", "ProductName",
                    "ProductVersion")]
        wanted = {"OriginalFilename": expected["OriginalFilename"], "LegalCopyright": notice}
        checks += [(values.get(k) == v, f"{k} is {values.get(k)!r}, expected {v!r}")
                   for k, v in wanted.items()]
        print("version:", ", ".join(f"{k}={v}" for k, v in sorted(values.items())))

    failures = [message for ok, message in checks if not ok]
    for f in failures:
        print("FAIL:", f)
    print(f"{program}: imports {', '.join(sorted(dlls))}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
