"""Which Wine runs a Windows program: its PE header's machine, and whether
this machine runs 32-bit programs at all (WineTest.cmake asks
win32_support() at configure time)."""

import functools
import os
import subprocess

LOADER32 = "/usr/lib/wine/wine"
LOADER64 = "/usr/lib/wine/wine64"


def pe_machine(path):
    """'i686' or 'x86_64' from a Windows program's PE header."""
    import pefile  # here: ./dev run's Linux-only setup has none

    try:
        machine = pefile.PE(path, fast_load=True).FILE_HEADER.Machine
    except pefile.PEFormatError as e:
        raise ValueError(f"{path} is not a Windows program: {e}") from None
    return {0x14C: "i686", 0x8664: "x86_64"}.get(machine, hex(machine))


def loader_for(program):
    return LOADER32 if pe_machine(program) == "i686" else LOADER64


def emulated_i386():
    """The binfmt_misc entry that hands i386 programs to an emulator, if any."""
    folder = "/proc/sys/fs/binfmt_misc"
    try:
        names = os.listdir(folder)
    except OSError:
        return None
    for name in names:
        try:
            with open(os.path.join(folder, name)) as f:
                text = f.read()
        except OSError:
            continue
        fields = dict(line.split(" ", 1) for line in text.splitlines() if " " in line)
        magic = fields.get("magic", "")
        # ELF, 32-bit, little endian, ..., e_type 2, e_machine 3 (i386)
        if text.startswith("enabled") and magic.startswith("7f454c460101") and \
                magic[32:40] == "02000300":
            return fields.get("interpreter", name)
    return None


@functools.cache
def win32_support():
    """(True, "") when 32-bit Windows programs can run here, else (False, why).
    Checked once per process by starting Wine's 32-bit loader."""
    if not os.access(LOADER32, os.X_OK):
        return False, f"{LOADER32} is missing (Debian's wine32:i386; run ./dev setup)"
    emulator = emulated_i386()
    if emulator and os.environ.get("BRENLOW_WIN32_EMULATED") != "1":
        return False, (f"32-bit programs run here only through an emulator ({emulator}), "
                       "about a minute per program start; BRENLOW_WIN32_EMULATED=1 runs them")
    try:
        r = subprocess.run([LOADER32, "--version"], capture_output=True, text=True, timeout=120)
    except OSError as e:
        return False, f"this kernel does not run 32-bit programs ({e.strerror})"
    if r.returncode != 0:
        return False, f"Wine's 32-bit loader fails here: {(r.stderr or r.stdout).strip()}"
    return True, ""
