"""Which Wine runs a Windows program: its PE header's machine, and whether
this machine runs 32-bit programs at all (WineTest.cmake asks
win32_support() at configure time)."""

import contextlib
import functools
import glob
import os
import re
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


def emulated_i386(folder="/proc/sys/fs/binfmt_misc"):
    """The interpreter of an enabled binfmt_misc entry that hands i386
    programs to an emulator, if any."""
    # ELF, 32-bit, little endian, ..., e_type 2, e_machine 3 (i386); the
    # kernel lists an entry's fields in this order.
    entry = re.compile(r"\Aenabled\ninterpreter (\S+)\n.*^magic 7f454c460101\w{20}02000300",
                       re.M | re.S)
    for path in glob.glob(os.path.join(folder, "*")):
        with contextlib.suppress(OSError), open(path) as f:
            if found := entry.search(f.read()):
                return found[1]
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
