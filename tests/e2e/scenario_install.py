"""Scenarios of the first installation: destination, copying, uninstaller,
the languages of the destination dialog, planted DLLs."""
import shutil
from pathlib import Path

from bench import Machine, Run, check, scenario
from common import (DESTINATION, PRODUCT_DIR, check_installed, check_uninstaller, destination_steps, media,
                    product_files)


@scenario
def default_install(build):
    m = Machine(build, "default-install", "win98")
    m.put_media(media(build))
    run = m.run_setup(destination_steps(["key enter", "wait filetypes 120", "visible", "key enter",
                                         "defaults 180 later"]))
    check(run.done, "the autopilot did not finish:\n" + run.text)
    dest = run.of_kind("destination")[0]
    check(Run.control(dest, 1025) == PRODUCT_DIR, "proposed " + Run.control(dest, 1025))
    check_installed(m, build)
    check_uninstaller(m, build)
    # By the file types question the progress window is gone.
    after = run.text[run.text.index("step visible"):run.text.index("step key enter", run.text.index("step visible"))]
    check("visible filetypes" in after and "visible progress" not in after, "windows up then:\n" + after)
    check(not [t for t in run.messages() if "Could not" in t or "Copying" in t], "errors: %s" % run.messages())
    check(run.exit_code == 0, "exit code %s" % run.exit_code)


@scenario
def cancel(build):
    m = Machine(build, "cancel", "win98")
    m.put_media(media(build))
    run = m.run_setup(destination_steps(["click 2", "end 60"]))
    check(run.done, run.text)
    check(not m.path(PRODUCT_DIR).exists(), "the destination was created")
    check(run.messages() == [], "messages: %s" % run.messages())
    check(len(run.windows) == 1, "windows after Cancel: %s" % [w["kind"] for w in run.windows])


@scenario
def browse_elsewhere(build):
    m = Machine(build, "browse-elsewhere", "win98")
    m.put_media(media(build))
    m.path("C:\\Other Place").mkdir()
    run = m.run_setup(destination_steps([
        "click 1024", "wait browser 30", "dump", "browse C:\\Other Place", "click 1", "gone 30",
        "use destination", "dump", "click 1", "defaults 180"]))
    check(run.done, run.text)
    after = run.of_kind("destination")[-1]
    check(Run.control(after, 1025).lower() == "c:\\other place", "shown after Browse: " + Run.control(after, 1025))
    check_installed(m, build, "C:\\Other Place")
    check(not m.path(PRODUCT_DIR).exists(), "the proposed folder was created too")


@scenario
def existing_destination(build):
    m = Machine(build, "existing-destination", "win98")
    m.put_media(media(build))
    folder = m.path(PRODUCT_DIR)
    folder.mkdir(parents=True)
    (folder / "Html.ini").write_text("an older copy")
    (folder / "Keep.txt").write_text("the user's own file")
    run = m.run_setup(destination_steps(["key enter", "defaults 180"]))
    check(run.done, run.text)
    check_installed(m, build)
    check((folder / "Keep.txt").read_text() == "the user's own file", "a foreign file was touched")


@scenario
def missing_product_file(build):
    m = Machine(build, "missing-product-file", "win98")
    m.put_media(media(build))
    names = product_files()
    missing = "Html.ini"
    m.path("C:\\Setup\\" + missing).unlink()
    run = m.run_setup(destination_steps(["key enter", "wait message 120", "visible", "dump", "click 1", "end 60"]))
    check(run.done, run.text)
    msgs = run.messages()
    expected = "Copying C:\\Setup\\%s to %s\\%s : " % (missing, PRODUCT_DIR, missing)
    check(len(msgs) == 1 and msgs[0].startswith(expected), "messages: %s" % msgs)
    check(len(msgs[0]) > len(expected) + 5, "no system text in: " + msgs[0])
    before = names[:names.index(missing)]
    check_installed(m, build, names=before)
    for name in names[names.index(missing):]:
        check(not (m.path(PRODUCT_DIR) / name).exists(), name + " copied after the failure")
    check(not list(m.path("C:\\windows").glob("Unscri*.exe")), "uninstaller copied after the failure")
    check_nothing_registered(m)
    # The progress window stays up, unchanged, while the message is shown.
    start = run.text.index("step visible")
    up = run.text[start:run.text.index("step dump", start)]
    check("visible progress" in up, "the progress window was gone with the message up:\n" + up)


def check_nothing_registered(m):
    """After a failure in the copy phases no later phase has run."""
    programs = m.registry("HKCU").string(
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Programs")
    check(programs and not (m.path(programs) / "Scrivon V4.1").exists(), "a program group was created")
    system = m.registry("HKLM")
    check(not system.has_key("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Scrivon.exe"),
          "App Paths was registered")
    check(not system.has_key("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Scrivon V4.1"),
          "the Uninstall entry was registered")
    check(not m.path("C:\\autoexec.bat").exists(), "an Autoexec.bat was made")


@scenario
def main_program_without_version(build):
    m = Machine(build, "main-program-without-version", "win98")
    m.put_media(media(build))
    m.path("C:\\Setup\\Scrivon.exe").write_bytes(b"MZ no version resource here")
    run = m.run_setup(destination_steps(["key enter", "defaults 180"]))
    check(run.done, run.text)
    msgs = run.messages()
    check(len(msgs) == 1 and msgs[0].startswith("Could not access file C:\\Setup\\Scrivon.exe : "),
          "messages: %s" % msgs)
    check(not list(m.path("C:\\windows").glob("Unscri*.exe")), "an uninstaller was copied")
    check_nothing_registered(m)


@scenario
def nt351_refused(build):
    m = Machine(build, "nt351-refused", "nt351")
    m.put_media(media(build))
    run = m.run_setup(["wait any 60", "dump", "click 1", "end 60"])
    check(run.done, run.text)
    check(run.messages() == ["Scrivon requires Windows 95, 98, or NT4 or more !"], "messages: %s" % run.messages())
    check(len(run.windows) == 1, "windows: %s" % [w["kind"] for w in run.windows])
    check(not m.path(PRODUCT_DIR).exists(), "a folder was created")


def destination_in(lang):
    def fn(build):
        m = Machine(build, "destination-" + lang, "win98", lang)
        m.put_media(media(build))
        run = m.run_setup(destination_steps(["click 2", "end 60"]))
        check(run.done, run.text)
        dest = run.of_kind("destination")[0]
        caption, next_, browse, cancel, group, welcome = DESTINATION[lang]
        check(dest["caption"] == caption, "caption %r" % dest["caption"])
        check(Run.control(dest, 1) == next_, "Next reads %r" % Run.control(dest, 1))
        check(Run.control(dest, 1024) == browse, "Browse reads %r" % Run.control(dest, 1024))
        check(Run.control(dest, 2) == cancel, "Cancel reads %r" % Run.control(dest, 2))
        check(any(c["text"] == group for c in dest["controls"]), "no group box %r" % group)
        check(Run.control(dest, 1032).startswith(welcome), "welcome %r" % Run.control(dest, 1032))
        check(Run.control(dest, 1032).count("Scrivon V4.1") == 2, "product name not inserted twice")
    fn.__name__ = "destination_" + lang
    return fn


for _lang in ("en", "fr", "it", "ru"):
    scenario(destination_in(_lang))


@scenario
def planted_dlls(build):
    m = Machine(build, "planted-dlls", "win98")
    m.put_media(media(build))
    planted = Path(build) / "planted"
    for name in ("version.dll", "comctl32.dll"):
        shutil.copy(planted / name, m.path("C:\\Setup") / name)
    # Wine is told to prefer native copies of both, as a real system would take them.
    run = m.run_setup(destination_steps(["key enter", "defaults 180"]), dll_overrides="version,comctl32=n,b",
                      trace="+loaddll,+module")
    check(run.done, run.text)
    check_installed(m, build)
    markers = sorted(p.name for p in m.path("C:\\").glob("planted-*.txt"))
    check(not [n for n in markers if "called" in n], "a planted DLL's function was called: %s" % markers)
    check("planted-comctl32.dll.txt" not in markers, "the planted comctl32.dll was loaded")
    if "planted-version.dll.txt" in markers:
        # Wine's own user32.dll imports version.dll, so the loader takes the planted
        # copy while it starts the process, before the setup's first instruction.
        # The setup's own load must still be the system's copy.
        lines = (m.root / "wine.log").read_text(errors="replace").splitlines()
        setup = [l for l in lines if 'Loaded L"C:\\\\Setup\\\\Setup.exe"' in l]
        check(setup, "no load of Setup.exe in the trace")
        pid = setup[0].split(":")[0]
        trace = "\n".join(l for l in lines if l.startswith(pid + ":"))
        planted = trace.find('Loaded L"C:\\\\Setup\\\\version.dll"')
        own = trace.find('Loaded L"C:\\\\windows\\\\system32\\\\version.dll"', planted)
        check(planted >= 0 and own > planted, "the setup did not load the system's version.dll")
        check("imported from L\"C:\\\\windows\\\\system32\\\\user32.dll\"" in trace[:own],
              "the planted version.dll was loaded by something else than the import of Wine's user32.dll")
    check_uninstaller(m, build)



@scenario
def win95_install(build):
    """Windows 95 takes the same road as Windows 98: Wininit.ini, Autoexec.bat."""
    m = Machine(build, "win95-install", "win95")
    m.put_media(media(build))
    run = m.run_setup(destination_steps(["key enter", "defaults 180 later"]))
    check(run.done, run.text)
    check_installed(m, build)
    check_uninstaller(m, build)
    journal = m.path("C:\\windows\\wininit.ini").read_bytes()
    check(journal.startswith(b"[rename]\r\n") and b"Mfc42.dll=" in journal, "journal: %r" % journal)
    check(run.of_kind("restart"), "no restart question")
