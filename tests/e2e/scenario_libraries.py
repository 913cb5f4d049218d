"""Scenarios of the shared system libraries: a newer shipped copy takes the
place of the installed one at the next start of Windows (Wininit.ini on
Windows 98, pending moves on NT 4); the others stay as they were."""
import filecmp
import shutil
import subprocess
import sys
from pathlib import Path

from bench import Machine, Registry, check, exif_version, scenario
from common import check_installed, destination_steps, media

SETVERSION = Path(__file__).resolve().parents[2] / "tools" / "media" / "setversion.py"


def versioned_copy(source, target, version):
    shutil.copy(source, target)
    subprocess.run([sys.executable, str(SETVERSION), str(target), version], check=True)


def prepare(build, name, version):
    """A machine whose system directory holds an older Mfc42.dll and no
    Olepro32.dll at all, and media that ship newer copies of both."""
    m = Machine(build, name, version)
    m.put_media(media(build))
    system = m.path("C:\\windows\\system32")
    versioned_copy(media(build) / "Mfc42.dll", system / "Mfc42.dll", "6.0.8168.0")
    (system / "olepro32.dll").unlink()
    versioned_copy(media(build) / "Olepro32.dll", m.path("C:\\Setup\\Olepro32.dll"), "5.0.9999.0")
    untouched = {name: (system / name).read_bytes() for name in ("msvcrt.dll", "oleaut32.dll")}
    return m, system, untouched


def run(m, before=()):
    result = m.run_setup(list(before) + destination_steps(["key enter", "defaults 180 later"]))
    check(result.done, result.text)
    errors = [t for t in result.messages() if "Could not" in t or "Copying" in t]
    check(not errors, "errors: %s" % errors)
    return result


def temporaries(system):
    return sorted(p.name for p in system.iterdir() if p.name.lower().startswith("tem") and p.suffix.lower() == ".tmp")


def check_swapped(m, build, system, untouched):
    check(exif_version(system / "Mfc42.dll") == "6.0.8447.0", "Mfc42.dll is %s" % exif_version(system / "Mfc42.dll"))
    check(filecmp.cmp(system / "Mfc42.dll", media(build) / "Mfc42.dll", shallow=False), "Mfc42.dll is not the shipped copy")
    olepro = [p for p in system.iterdir() if p.name.lower() == "olepro32.dll"]
    check(olepro and exif_version(olepro[0]) == "5.0.9999.0", "Olepro32.dll was not installed")
    for name, data in untouched.items():
        check((system / name).read_bytes() == data, name + " was changed")
    check(not temporaries(system), "temporary copies left: %s" % temporaries(system))


@scenario
def libraries_win98(build):
    m, system, untouched = prepare(build, "libraries-win98", "win98")
    # Entries that Windows or another setup left for the next start. The file is
    # put in place once the machine has started, or its start would carry it out.
    (m.path("C:\\old.txt")).write_text("moved at the next start")
    m.path("C:\\autopilot").mkdir(exist_ok=True)
    m.path("C:\\autopilot").joinpath("wininit.ini").write_bytes(
        b"[Other]\r\nkey=value\r\n[rename]\r\nC:\\new.txt=C:\\old.txt\r\n")
    wininit = m.path("C:\\windows\\wininit.ini")
    run(m, ["copy C:\\autopilot\\wininit.ini C:\\windows\\wininit.ini"])

    # Before the restart the installed copies are untouched and the journal
    # holds the earlier entries and ours.
    check(exif_version(system / "Mfc42.dll") == "6.0.8168.0", "Mfc42.dll changed before the restart")
    journal = wininit.read_bytes().decode("ascii")
    check(journal.startswith("[Other]\r\nkey=value\r\n"), "the journal lost its first section:\n" + journal)
    check("C:\\new.txt=C:\\old.txt\r\n" in journal, "the journal lost the earlier entry:\n" + journal)
    temps = temporaries(system)
    check(len(temps) == 2, "temporary copies: %s" % temps)
    lines = journal.split("\r\n")
    check(sum(1 for l in lines if l.lower().endswith(tuple(t.lower() for t in temps))) == 2,
          "no move line for each temporary copy:\n" + journal)
    check(sum(1 for l in lines if l.upper().startswith("NUL=")) == 1,
          "a NUL= line for the installed Mfc42.dll only (Olepro32.dll was not there):\n" + journal)

    m.restart()
    check_swapped(m, build, system, untouched)
    check(m.path("C:\\new.txt").exists() and not m.path("C:\\old.txt").exists(), "the earlier entry was not carried out")
    bak = m.path("C:\\windows") / "wininit.bak"
    check(bak.exists() and b"[Other]" in bak.read_bytes(), "the journal was not carried out as a whole")


@scenario
def libraries_nt4(build):
    m, system, untouched = prepare(build, "libraries-nt4", "nt40")
    run(m)
    check(not (m.path("C:\\windows\\wininit.ini")).exists(), "a Wininit.ini was written on NT")
    reg = Registry(m.prefix / "system.reg")
    pending = reg.value("System\\CurrentControlSet\\Control\\Session Manager", "PendingFileRenameOperations")
    check(pending is not None, "no pending moves were registered")
    names = pending[1].decode("utf-16-le").lower()
    check("mfc42.dll" in names and "olepro32.dll" in names, "pending moves: %r" % names)
    check(exif_version(system / "Mfc42.dll") == "6.0.8168.0", "Mfc42.dll changed before the restart")
    m.restart()
    check_swapped(m, build, system, untouched)


@scenario
def libraries_not_newer(build):
    """Shipped copies that are not newer leave the machine as it was."""
    m = Machine(build, "libraries-not-newer", "win98")
    m.put_media(media(build))
    system = m.path("C:\\windows\\system32")
    versioned_copy(media(build) / "Mfc42.dll", system / "Mfc42.dll", "6.0.8447.5")
    before = {p.name: p.read_bytes() for p in system.iterdir() if p.is_file()}
    run(m)
    check(not (m.path("C:\\windows\\wininit.ini")).exists(), "Wininit.ini was written")
    check_installed(m, build)
    after = {p.name: p.read_bytes() for p in system.iterdir() if p.is_file()}
    check(after == before, "the system directory changed: %s" % sorted(set(after) ^ set(before)))
