"""Scenarios of the end of a run: the file types question, the search path
(the PATH line of Autoexec.bat on Windows 98, the Path value on NT 4), and how
the run ends (the restart dialog and a restart, a logoff, or the final message).

Under Wine, ExitWindowsEx starts wineboot: "wineboot --end-session" for a
restart and "wineboot --end-session --shutdown" for a logoff. The runs trace
process creation, so the request shows in the machine's wine.log. A restart's
wineboot goes on to do what a start of Windows does and carries out
Wininit.ini at once; Machine.restart() is then the start the user would see.
"""
import re
import shutil

from bench import Machine, Run, check, exif_version, scenario
from common import PRODUCT_DIR, check_installed, destination_steps, media

QUOTED = '"%s"' % PRODUCT_DIR
ENVIRONMENT = "System\\CurrentControlSet\\Control\\Session Manager\\Environment"
CLASSES = "Software\\Classes"
AUTOEXEC = b"@ECHO OFF\r\nSET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\nWIN\r\n"
PROGRAM = PRODUCT_DIR + "\\Scrivon.exe"
DEFAULT_TYPES = ("1st asm asp bas c cpp def dpr for f77 frm h hpj idl inc ini jav java log m me out pas pov rc "
                 "sql tex txt").split()

# Per language: the file types caption, Yes, No; the restart caption, its two
# choices; and the final message.
TEXTS = {
    "en": ("File type associations", "&Yes", "&No", "Restart Windows", "Yes, I want to restart now",
           "No, I will restart later", "Installation normally terminated. You can now use Scrivon."),
    "fr": ("Associations de types de fichiers", "&Oui", "&Non", "Redémarrer Windows",
           "Oui, je veux redémarrer maintenant", "Non, je redémarrerais plus tard",
           "Installation normalement terminée. Vous pouvez maintenant utiliser Scrivon."),
    "it": ("Associazioni di tipi di file", "&Si", "&No", "Riavviare Windows", "Si, voglio riavviare adesso",
           "No, riavviero più tardi", "Installazione terminata normalmente. Puo adesso utilizzare Scrivon."),
    "ru": ("Ассоциации типов файлов", "&Да", "&Нет", "Перезапуск Windows", "Да, я хочу перезапустить теперь",
           "Нет, я перезапущу позже", "Инсталляция завершена нормально. Теперь вы можете использовать Scrivon."),
}
LOGOFF = ("The Scrivon installation will now effect a Logoff to take the modification of the Path environment "
          "variable into account.")
TRACE = "+process"


def exit_requests(m):
    """The wineboot command lines that Setup.exe started in the last run."""
    log = (m.root / "wine.log").read_text(errors="replace")
    threads = re.findall(r'NtCreateUserProcess L"\\\\\?\?\\\\C:\\\\Setup\\\\Setup\.exe" pid \w+ tid (\w+)', log)
    check(threads, "Setup.exe does not show in the trace")
    found = []
    for tid in threads:
        for line in log.splitlines():
            hit = re.match(tid + r':trace:process:CreateProcessInternalW app L"[^"]*wineboot\.exe" cmdline L"(.*)"$',
                           line)
            if hit:
                found.append(hit.group(1).split("wineboot.exe", 1)[1].strip())
    return found


def run_ok(m, steps):
    run = m.run_setup(steps, trace=TRACE)
    check(run.done, "the autopilot did not finish:\n" + run.text)
    errors = [t for t in run.messages() if "Could not" in t or "Copying" in t or "error" in t.lower()]
    check(not errors, "errors: %s" % errors)
    return run


def keep_shots(m, label):
    """Keeps the pictures of a run apart from those of the next one, which
    would reuse their names."""
    for png in m.shots.glob("[0-9]*.png"):
        png.rename(png.with_name(label + "-" + png.name))


def autoexec(m):
    return m.path("C:\\Autoexec.bat").read_bytes()


def system_libraries(m):
    system = m.path("C:\\windows\\system32")
    return {p.name.lower(): p.read_bytes() for p in system.iterdir() if p.is_file() and p.suffix.lower() == ".dll"}


def temporaries(m):
    return [p.name for p in m.path("C:\\windows\\system32").iterdir()
            if p.name.lower().startswith("tem") and p.suffix.lower() == ".tmp"]


def restart_steps(answer):
    """Default answers up to the restart dialog, which gets `answer`."""
    return destination_steps(["key enter", "wait filetypes 180", "dump", "key enter",
                              "wait restart 60", "dump", *answer, "end 60"])


@scenario
def finish_win98_restart(build):
    m = Machine(build, "finish-win98-restart", "win98")
    m.put_media(media(build))
    m.path("C:\\Autoexec.bat").write_bytes(AUTOEXEC)
    run = run_ok(m, restart_steps(["click 1"]))
    check(run.messages() == [], "messages: %s" % run.messages())
    dialog = run.of_kind("restart")[0]
    check(dialog["caption"] == "Restart Windows", "restart caption %r" % dialog["caption"])
    check(exit_requests(m) == ["--end-session"], "restart requests: %s" % exit_requests(m))

    expected = AUTOEXEC.replace(b"COMMAND\r\n", b"COMMAND;" + QUOTED.encode() + b"\r\n")
    check(autoexec(m) == expected, "Autoexec.bat: %r" % autoexec(m))

    keep_shots(m, "first")
    m.restart()
    system = m.path("C:\\windows\\system32")
    mfc = [p for p in system.iterdir() if p.name.lower() == "mfc42.dll"]
    check(mfc and exif_version(mfc[0]) == exif_version(media(build) / "Mfc42.dll"),
          "Mfc42.dll was not swapped: %s" % [exif_version(p) for p in mfc])
    check(not temporaries(m), "temporary copies left: %s" % temporaries(m))
    check(not m.path("C:\\windows\\wininit.ini").exists(), "Wininit.ini was not carried out")

    # A second run finds everything in place and ends with the final message.
    libraries = system_libraries(m)
    run = run_ok(m, destination_steps(["key enter", "defaults 180"]))
    check(run.messages() == [TEXTS["en"][6]], "second run messages: %s" % run.messages())
    check(not run.of_kind("restart"), "the second run asked for a restart")
    check(exit_requests(m) == [], "second run requests: %s" % exit_requests(m))
    check(autoexec(m) == expected, "the second run changed Autoexec.bat: %r" % autoexec(m))
    check(autoexec(m).count(QUOTED.encode()) == 1, "the folder is on the PATH line more than once")
    check(system_libraries(m) == libraries, "the second run changed the system libraries")
    check(not m.path("C:\\windows\\wininit.ini").exists(), "the second run wrote Wininit.ini")
    check_installed(m, build)


def nt4_machine(build, name):
    """An NT 4 machine whose Mfc42.dll is the shipped one, so that no library
    is replaced and the run ends on the Path alone."""
    m = Machine(build, name, "nt40")
    m.put_media(media(build))
    shutil.copy(media(build) / "Mfc42.dll", m.path("C:\\windows\\system32") / "Mfc42.dll")
    return m


def path_value(m):
    value = m.registry("HKLM").value(ENVIRONMENT, "Path")
    check(value is not None, "no Path value")
    kind, data = value
    return kind, data.decode("utf-16-le").rstrip("\0")


@scenario
def finish_nt4_logoff(build):
    m = nt4_machine(build, "finish-nt4-logoff")
    kind_before, before = path_value(m)
    check(kind_before == 2, "the machine's Path is not REG_EXPAND_SZ but type %s" % kind_before)
    run = run_ok(m, destination_steps(["key enter", "defaults 180"]))
    check(not run.of_kind("restart"), "a restart was offered")
    check(run.messages() == [LOGOFF], "messages: %s" % run.messages())
    check(exit_requests(m) == ["--end-session --shutdown"], "logoff requests: %s" % exit_requests(m))
    kind, after = path_value(m)
    check(kind == 2, "the Path value was written back as type %s" % kind)
    kept = before[:-1] if before.endswith(";") else before
    check(after == kept + ";" + PRODUCT_DIR, "Path: %r" % after)
    keep_shots(m, "first")

    # The Path now holds the folder: the next run ends with the final message.
    run = run_ok(m, destination_steps(["key enter", "defaults 180"]))
    check(run.messages() == [TEXTS["en"][6]], "second run messages: %s" % run.messages())
    check(exit_requests(m) == [], "second run requests: %s" % exit_requests(m))
    check(path_value(m) == (2, after), "the second run changed the Path: %r" % (path_value(m),))


def registry_text(m):
    return (m.prefix / "system.reg").read_text(encoding="utf-8", errors="replace")


def class_value(m, key):
    return m.registry("HKLM").string(CLASSES + "\\" + key)


def file_types_run(build, name, answer):
    m = Machine(build, name, "win98")
    m.put_media(media(build))
    before = {k: class_value(m, k) for k in ("txtfile\\DefaultIcon", "txtfile\\shell\\open\\command", ".txt")}
    run = run_ok(m, destination_steps(["key enter", "wait filetypes 180", "dump", *answer, "defaults 120 later"]))
    window = run.of_kind("filetypes")[0]
    check(Run.control(window, 257) == " ".join(DEFAULT_TYPES), "list shown: %r" % Run.control(window, 257))
    return m, before


def check_text_class(m):
    check(class_value(m, "txtfile\\DefaultIcon") == PROGRAM + ",0",
          "DefaultIcon: %r" % class_value(m, "txtfile\\DefaultIcon"))
    check(class_value(m, "txtfile\\shell\\open\\command") == '"%s" "%%1"' % PROGRAM,
          "open: %r" % class_value(m, "txtfile\\shell\\open\\command"))
    check(class_value(m, "txtfile\\shell\\print\\command") == '"%s" /p "%%1"' % PROGRAM,
          "print: %r" % class_value(m, "txtfile\\shell\\print\\command"))


@scenario
def finish_file_types_yes(build):
    m, _ = file_types_run(build, "finish-file-types-yes", ["click 1"])
    check_text_class(m)
    check(len(DEFAULT_TYPES) == 28, "the default list has %d types" % len(DEFAULT_TYPES))
    for ext in DEFAULT_TYPES:
        check(class_value(m, "." + ext) == "txtfile", ".%s is bound to %r" % (ext, class_value(m, "." + ext)))


@scenario
def finish_file_types_no(build):
    m, before = file_types_run(build, "finish-file-types-no", ["click 2"])
    after = {k: class_value(m, k) for k in before}
    check(after == before, "answering No changed %s" % {k: (before[k], after[k]) for k in before if before[k] != after[k]})
    check(class_value(m, ".1st") is None, "answering No bound .1st")


@scenario
def finish_file_types_edited(build):
    m, _ = file_types_run(build, "finish-file-types-edited", ["type 257   zzq   .yyq TXQ ", "click 1"])
    check_text_class(m)
    text = registry_text(m)
    for key in (".zzq", "..yyq", ".TXQ"):
        check("[%s\\\\%s]" % (CLASSES.replace("\\", "\\\\"), key) in text, "no key %s as typed" % key)
        check(class_value(m, key) == "txtfile", "%s is bound to %r" % (key, class_value(m, key)))
    check(class_value(m, ".1st") is None, ".1st was bound though it was not in the list")
    check("[%s\\\\.]" % CLASSES.replace("\\", "\\\\") not in text, "a key named by a dot alone")


def restart_not_taken(answer, name):
    """The restart dialog answered without a restart: nothing is requested,
    and the Wininit.ini entries still wait for the next start."""
    def fn(build):
        m = Machine(build, "finish-restart-" + name, "win98")
        m.put_media(media(build))
        run = run_ok(m, restart_steps(answer))
        check(run.of_kind("restart"), "no restart dialog")
        check(run.messages() == [], "messages after the dialog: %s" % run.messages())
        check(exit_requests(m) == [], "requests: %s" % exit_requests(m))
        # Read from the Unix side: the next Wine process would carry it out.
        wininit = m.path("C:\\windows\\wininit.ini")
        check(wininit.exists() and b"Mfc42.dll" in wininit.read_bytes(), "Wininit.ini was carried out")
        check(temporaries(m), "no temporary copy waits for the restart")
    fn.__name__ = "finish_restart_" + name.replace("-", "_")
    return fn


for _answer, _name in ((["click 1031", "click 1"], "later"), (["key escape"], "escape"), (["close"], "close-box")):
    scenario(restart_not_taken(_answer, _name))


def default_run_in(lang):
    """The whole default run in one language, with a picture of every window."""
    def fn(build):
        m = Machine(build, "finish-default-" + lang, "win98", lang)
        m.put_media(media(build))
        run = run_ok(m, destination_steps(["key enter", "defaults 180"]))
        types_caption, yes, no, restart_caption, now, later, _ = TEXTS[lang]
        types = run.of_kind("filetypes")
        check(types and types[0]["caption"] == types_caption, "file types: %s" % types)
        check(Run.control(types[0], 1) == yes and Run.control(types[0], 2) == no,
              "Yes/No read %r/%r" % (Run.control(types[0], 1), Run.control(types[0], 2)))
        restart = run.of_kind("restart")
        check(restart and restart[0]["caption"] == restart_caption, "restart: %s" % restart)
        check(Run.control(restart[0], 1030) == now and Run.control(restart[0], 1031) == later,
              "choices read %r/%r" % (Run.control(restart[0], 1030), Run.control(restart[0], 1031)))
        check(run.messages() == [], "messages: %s" % run.messages())
        check(exit_requests(m) == ["--end-session"], "the default answer did not restart: %s" % exit_requests(m))
        shots = sorted(p.name for p in m.shots.glob("*.png"))
        for kind in ("destination", "progress", "filetypes", "restart"):
            check(any(s.endswith("-%s.png" % kind) for s in shots), "no picture of the %s window: %s" % (kind, shots))
        check_installed(m, build)
    fn.__name__ = "finish_default_" + lang
    return fn


for _lang in ("en", "fr", "it", "ru"):
    scenario(default_run_in(_lang))
