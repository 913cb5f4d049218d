#!/usr/bin/env python3
"""The main job: install Scrivon V4.1 with the real Setup.exe into a fresh
Wine machine and report what the installation did to it.

With a display (DISPLAY set) you answer the dialogs yourself; without one the
run happens under Xvfb, the autopilot answers every window with its default
and a screenshot of each window is kept. The machine stays in build/demo/.
    DEMO_VERSION  win98 (default), win95, nt40, nt351, win10 ...
    DEMO_LANG     en (default), fr, it, ru
"""
import hashlib
import os
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from bench import Machine, Registry, exif_version, lnkinfo  # noqa: E402

BUILD = ROOT / "build"
# Keys that Wine itself rewrites at every start (devices, fonts, its own settings).
NOISE = ("software\\wine", "system\\currentcontrolset\\enum", "system\\currentcontrolset\\control\\class",
         "system\\currentcontrolset\\control\\deviceclasses", "system\\currentcontrolset\\services",
         "hardware", "software\\microsoft\\windows nt\\currentversion\\fonts")
SKIP = ("users/root/AppData/Local/Temp", "autopilot", "Setup/", "windows/Installer")


def snapshot(machine):
    """Every file of drive C: with a digest of its bytes."""
    files = {}
    drive = machine.prefix / "drive_c"
    for path in drive.rglob("*"):
        if path.is_file() and not path.is_symlink():
            rel = path.relative_to(drive).as_posix()
            if not any(rel.startswith(s) for s in SKIP):
                files[rel] = hashlib.sha1(path.read_bytes()).hexdigest()
    return files


NAMES = {}


def registry_values(machine):
    values = {}
    for hive, name in (("HKLM", "system.reg"), ("HKCU", "user.reg")):
        reg = Registry(machine.prefix / name)
        for key, entries in reg.keys.items():
            for value, data in entries.items():
                values[(hive, key, value)] = data
                NAMES[(hive, key)] = reg.names.get(key, key)
                NAMES[(hive, key, value)] = reg.names.get((key, value), value)
    return values


def show_value(kind, data):
    if kind in (1, 2):
        text = data.decode("utf-16-le", errors="replace")
        stored = "with its terminating zero" if text.endswith("\0") else "without a terminating zero"
        type_name = "REG_SZ" if kind == 1 else "REG_EXPAND_SZ"
        return '%s "%s" (%s)' % (type_name, text.rstrip("\0"), stored)
    if kind == 4:
        return "REG_DWORD %d" % int.from_bytes(data, "little")
    return "type %s, %d bytes" % (kind, len(data))


def windows_path(rel):
    return "C:\\" + rel.replace("/", "\\")


def section(title):
    print("\n== %s" % title)


def main():
    version = os.environ.get("DEMO_VERSION", "win98")
    lang = os.environ.get("DEMO_LANG", "en")
    interactive = bool(os.environ.get("DISPLAY"))
    machine = Machine(BUILD, "demo", version, lang, root=BUILD / "demo")
    print("Wine machine: %s (Windows version %s, language %s)" % (machine.prefix, version, lang))
    folder = machine.put_media(BUILD / "media")
    print("Sample media copied to %s" % folder)

    if version in ("win95", "win98"):
        # A Windows 95 or 98 machine boots through an Autoexec.bat like this one.
        machine.path("C:\\autoexec.bat").write_bytes(b"@ECHO OFF\r\nSET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n")
        print("C:\\Autoexec.bat written as Windows 98 has it: SET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND")

    files_before = snapshot(machine)
    reg_before = registry_values(machine)
    autoexec = machine.path("C:\\autoexec.bat")
    autoexec_before = autoexec.read_bytes() if autoexec.exists() else None

    if interactive:
        print("Starting Setup.exe on your display: answer its windows.")
        env = machine.env(os.environ["DISPLAY"])
        env["WINEDEBUG"] = "+process"
        with open(machine.root / "wine.log", "wb") as log:
            subprocess.run(["wine", "C:\\Setup\\Setup.exe"], env=env, stderr=log)
        machine.wait_idle()
        run = None
    else:
        print("No display: running under Xvfb, answering every window with its default.")
        run = machine.run_setup(["defaults 240"], trace="+process")

    trace = (machine.root / "wine.log").read_text(errors="replace")
    ok = True

    if run is not None:
        section("Windows the setup showed")
        for w in run.windows:
            print("- %s: %s" % (w["kind"], w["caption"]))
        for text in run.messages():
            print('  message: "%s"' % text.replace("\r\n", " ").replace("\n", " ").strip())
        shots = sorted(machine.shots.glob("*.png"))
        print("Screenshots: %s" % (", ".join(str(s.relative_to(ROOT)) for s in shots) or "none"))
        ok = run.done

    files_after = snapshot(machine)
    added = sorted(set(files_after) - set(files_before))
    changed = sorted(k for k in files_before if k in files_after and files_after[k] != files_before[k])

    section("Files placed (%d new, %d changed)" % (len(added), len(changed)))
    by_folder = {}
    for rel in added:
        by_folder.setdefault(rel.rsplit("/", 1)[0], []).append(rel.rsplit("/", 1)[1])
    for dir_rel, names in sorted(by_folder.items()):
        print("%s: %d files" % (windows_path(dir_rel), len(names)))
        print("    " + ", ".join(names))
    for rel in changed:
        print("changed: %s" % windows_path(rel))

    uninstallers = [rel for rel in added if rel.lower().startswith("windows/unscri")]
    for rel in uninstallers:
        print("Uninstaller: %s (version %s, the copy of Unscri.exe)" % (windows_path(rel),
              exif_version(machine.prefix / "drive_c" / rel)))

    links = [rel for rel in added if rel.lower().endswith(".lnk")]
    if links:
        section("Shortcuts (read back with lnkinfo)")
        for rel in links:
            info = lnkinfo(machine.prefix / "drive_c" / rel)
            print("%s\n    target %s\n    arguments %s\n    description %s" % (
                windows_path(rel), info.get("Local path", "?"), info.get("Command line arguments", "(none)"),
                info.get("Description", "?")))

    reg_after = registry_values(machine)
    new_values = sorted(k for k in reg_after if reg_before.get(k) != reg_after[k] and not k[1].startswith(NOISE))
    section("Registry values written or changed")
    for hive, key, value in new_values:
        kind, data = reg_after[(hive, key, value)]
        print("%s\\%s [%s] = %s" % (hive, NAMES.get((hive, key), key),
                                      NAMES.get((hive, key, value), value) or "(default)", show_value(kind, data)))

    section("Libraries left for the next start of Windows")
    # Under Wine the restart that the setup asks for happens at once, and with
    # it the start-of-Windows work: then the journal is already wininit.bak.
    wininit = machine.path("C:\\windows\\wininit.ini")
    done = machine.path("C:\\windows\\wininit.bak")
    journal = wininit if wininit.exists() else done if done.exists() else None
    if journal:
        print("C:\\windows\\%s%s:" % (journal.name, "" if journal is wininit else
                                      " (carried out by the restart the setup asked for)"))
        print("    " + journal.read_text(errors="replace").replace("\r\n", "\n").strip().replace("\n", "\n    "))
    pending = reg_after.get(("HKLM", "system\\currentcontrolset\\control\\session manager",
                             "pendingfilerenameoperations"))
    if pending:
        names = [p for p in pending[1].decode("utf-16-le").split("\0")]
        for src, dst in zip(names[0::2], names[1::2]):
            if src:
                print("pending move: %s -> %s" % (src, dst or "(delete)"))
    swapped = [k for k in added + changed if k.lower().startswith("windows/system32/") and k.lower().endswith(".dll")]
    if not journal and not pending and swapped:
        print("the pending moves were carried out by the restart the setup asked for: %s"
              % ", ".join(windows_path(k) for k in swapped))
    elif not journal and not pending:
        print("none")

    section("Search path")
    autoexec_after = autoexec.read_bytes() if autoexec.exists() else None
    if autoexec_after != autoexec_before:
        print("C:\\Autoexec.bat now reads:")
        print("    " + autoexec_after.decode(machine.codepage).replace("\r\n", "\n").strip().replace("\n", "\n    "))
    path_key = ("HKLM", "system\\currentcontrolset\\control\\session manager\\environment", "path")
    if reg_before.get(path_key) != reg_after.get(path_key) and reg_after.get(path_key):
        print("Path value: %s" % show_value(*reg_after[path_key]))
    if autoexec_after == autoexec_before and reg_before.get(path_key) == reg_after.get(path_key):
        print("unchanged")

    section("How the run ended")
    if "--end-session" in trace and "--shutdown" in trace:
        print("The setup asked Windows for a logoff (wineboot --end-session --shutdown).")
    elif "--end-session" in trace:
        print("The setup asked Windows for a restart (wineboot --end-session).")
    else:
        print("Without a restart or logoff request.")

    print("\nNext start of Windows (wineboot -r) ...")
    machine.restart()
    after_restart = snapshot(machine)
    replaced = sorted(k for k in after_restart if files_before.get(k) != after_restart[k]
                      and k.lower().startswith("windows/system32/") and k.lower().endswith(".dll"))
    for rel in replaced:
        print("%s: %s, now version %s" % ("replaced" if rel in files_before else "installed", windows_path(rel),
                                         exif_version(machine.prefix / "drive_c" / rel)))
    if not replaced:
        print("no library was replaced")
    left = sorted(k for k in after_restart if k not in files_before and k.lower().startswith("windows/system32/tem"))
    if left:
        print("temporary copies left: %s" % ", ".join(windows_path(k) for k in left))

    installed = [rel for rel in added if rel.lower().startswith("program files/")]
    ok = ok and bool(installed)
    print("\n%s: %s" % ("SUCCESS" if ok else "FAILURE",
                        "the product was installed, the machine is kept in build/demo/machine" if ok
                        else "the installation did not complete; see the windows and messages above"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
