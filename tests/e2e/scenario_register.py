"""Scenarios of the program group and the registration: after a default
installation in a fresh Windows 98 machine in each language, every shortcut
the setup made (the five in the group, the copies of the first on the Desktop
and in SendTo) read back with lnkinfo, and the App Paths and Uninstall values
read back from the machine's registry file, byte for byte, with the type and
size the program passed taken from Wine's registry trace.

Where the shell folders lie is read from the machine's user.reg (its "Shell
Folders" values). A fresh machine links its Desktop and a few other user
folders to the Unix home, so those links become real folders of the machine
first; and Wine's menu builder, which turns each link in the Start menu or on
the Desktop into an entry of the host's menus, writes below the machine too.
"""
import re

from bench import Machine, check, lnkinfo, scenario
from common import PRODUCT_DIR, check_uninstaller, destination_steps, media

PRODUCT = "Scrivon V4.1"
SHELL_FOLDERS = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
APP_PATHS = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Scrivon.exe"
UNINSTALL = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + PRODUCT

# The shortcut table of each language: link file name, target, description.
# Blanks are significant (the Italian table has a link name and a description
# that begin with one, the French one a doubled blank).
SHORTCUTS = {
    "en": [("Scrivon V4.1.lnk", "Scrivon.exe", "Scrivon V4.1"),
           ("Scrivon's help.lnk", "HelpUs.hlp", "Scrivon's help"),
           ("Information.lnk", "ReadmeUs.doc", "Information"),
           ("Order form.lnk", "OrderUs.doc", "Order form"),
           ("Uninstall.lnk", "Unscri.exe", "Uninstall")],
    "fr": [("Scrivon V4.1.lnk", "Scrivon.exe", "Scrivon V4.1"),
           ("Aide de  Scrivon.lnk", "HelpFr.hlp", "Aide de Scrivon"),
           ("Informations.lnk", "ReadmeFr.doc", "Informations"),
           ("Bon de commande.lnk", "OrderFr.doc", "Bon de commande"),
           ("Désinstaller.lnk", "Unscri.exe", "Désinstaller")],
    "it": [("Scrivon V4.1.lnk", "Scrivon.exe", "Scrivon V4.1"),
           ("Guida di Scrivon.lnk", "HelpIt.hlp", "Guida di Scrivon"),
           (" Informazioni.lnk", "ReadmeIt.doc", "Informazioni"),
           ("Buono di ordinazione.lnk", "OrderIt.doc", "Buono di ordinazione"),
           ("Disinstallare.lnk", "Unscri.exe", " Disinstallare")],
    "ru": [("Scrivon V4.1.lnk", "Scrivon.exe", "Scrivon V4.1"),
           ("Справка.lnk", "HelpRu.hlp", "Справка"),
           ("Информация.lnk", "ReadmeRu.doc", "Информация"),
           ("Заказ.lnk", "OrderRu.doc", "Заказ"),
           ("Удаление.lnk", "Unscri.exe", "Удаление")],
}

# The start of the two failure messages of the phases, IDS_CREATE_DIRECTORY and
# IDS_NO_MEMORY, in each language.
FAILURES = {
    "en": ("Could not create directory ", "Could not allocate memory"),
    "fr": ("Création du répertoire ", "Allocation de mémoire impossible"),
    "it": ("È impossibile creare la directory ", "Allocazione di memoria impossibile"),
    "ru": ("Невозможно создать каталог ", "Невозможно разместить память"),
}


class OwnMachine(Machine):
    """A machine whose runs trace the registry writes."""

    def __init__(self, build, name, version, lang):
        super().__init__(build, name, version, lang)
        # The relay trace of a run shows each RegSetValueExA call with the size
        # the caller passed, before Wine turns the text into UTF-16.
        user = self.prefix / "user.reg"
        user.write_text(user.read_text(encoding="utf-8") + '\n[Software\\\\Wine\\\\Debug] 1700000000\n'
                        '"RelayInclude"="advapi32.RegSetValueExA;kernelbase.RegSetValueExA"\n', encoding="utf-8")


def shell_folder(m, name):
    """The Unix path of a shell folder, as the machine's user.reg names it."""
    value = m.registry("HKCU").string(SHELL_FOLDERS, name)
    check(value, "user.reg names no %s folder" % name)
    path = m.path(value)
    check(path.is_dir() and not path.is_symlink(), "the %s folder %s is not a folder of the machine" % (name, value))
    return value, path


def link_files(folder):
    return sorted(p.name for p in folder.iterdir() if p.suffix.lower() == ".lnk")


def check_link(path, target, arguments, description):
    fields = lnkinfo(path)
    where = path.name
    check(fields.get("Local path", "").lower() == target.lower(),
          "%s starts %r, not %r (lnkinfo: %s)" % (where, fields.get("Local path"), target, fields))
    check(fields.get("Command line arguments", "") == arguments,
          "%s has the arguments %r, not %r" % (where, fields.get("Command line arguments"), arguments))
    check(fields.get("Description") == description,
          "%s is described %r, not %r" % (where, fields.get("Description"), description))


def registry_writes(m):
    """Type and size of each RegSetValueExA call of Setup.exe, by value name
    ("" for a key's default value), from the relay trace of the run."""
    log = (m.root / "wine.log").read_text(encoding="utf-8", errors="replace")
    threads = set(re.findall(r'NtCreateUserProcess L"\\\\\?\?\\\\C:\\\\Setup\\\\Setup\.exe" pid \w+ tid (\w+)', log))
    check(threads, "Setup.exe does not show in the trace")
    writes = {}
    for line in log.splitlines():
        hit = re.match(r'(\w+):Call advapi32\.RegSetValueExA\(\w+,\w+(?: "(.*)")?,\w+,(\w+),\w+,(\w+)\) ret=', line)
        if hit and hit.group(1) in threads:
            writes.setdefault(hit.group(2) or "", []).append((int(hit.group(3), 16), int(hit.group(4), 16)))
    return writes


def check_value(m, values, writes, key, name, text):
    """The value holds exactly the text in UTF-16, with the one terminating
    zero that NT and Wine add after a text written without it (Windows 95
    keeps none), and the program wrote it as REG_SZ of its length."""
    value = values.get(name.lower())
    label = "%s\\%s" % (key, name or "(default)")
    check(value is not None, "no value " + label)
    kind, data = value
    check(kind == 1, "%s has the type %s" % (label, kind))
    wide = text.encode("utf-16-le")
    check(data in (wide, wide + b"\0\0"), "%s holds %r, not %r" % (label, data, wide))
    size = len(text.encode(m.codepage))
    check(writes.get(name) == [(1, size)],
          "%s written with (type, size) %s, expected [(1, %d)]" % (label, writes.get(name), size))


def shortcuts_in(lang):
    def fn(build):
        m = OwnMachine(build, "shortcuts-" + lang, "win98", lang)
        m.put_media(media(build))
        run = m.run_setup(destination_steps(["key enter", "defaults 180 later"]), trace="+relay,+process")
        check(run.done, "the autopilot did not finish:\n" + run.text)
        # A failure of the two phases would end the run before the file types question.
        check(run.of_kind("filetypes"), "the run ended before the file types question: %s" % run.messages())
        errors = [t for t in run.messages() if t.startswith(FAILURES[lang])]
        check(not errors, "errors: %s" % errors)
        uninstaller = "C:\\windows\\" + check_uninstaller(m, build)

        expected = []
        for name, target, description in SHORTCUTS[lang]:
            if target == "Unscri.exe":
                expected.append((name, uninstaller, "/%s /%s" % (PRODUCT, PRODUCT_DIR), description))
            else:
                expected.append((name, PRODUCT_DIR + "\\" + target, "", description))

        programs_value, programs = shell_folder(m, "Programs")
        group = programs / PRODUCT
        check(group.is_dir(), "no group folder in %s" % programs_value)
        check(link_files(group) == sorted(e[0] for e in expected),
              "the group holds %s" % link_files(group))
        check(sorted(p.name for p in group.iterdir()) == link_files(group),
              "the group holds other files: %s" % sorted(p.name for p in group.iterdir()))
        for name, target, arguments, description in expected:
            check_link(group / name, target, arguments, description)
        for folder in ("Desktop", "SendTo"):
            value, path = shell_folder(m, folder)
            check(link_files(path) == [expected[0][0]], "%s holds %s" % (value, link_files(path)))
            check_link(path / expected[0][0], *expected[0][1:])

        system = m.registry("HKLM")
        writes = registry_writes(m)
        app_paths = system.keys.get(APP_PATHS.lower(), {})
        check(list(app_paths) == [""], "App Paths\\Scrivon.exe holds %s" % list(app_paths))
        check_value(m, app_paths, writes, APP_PATHS, "", PRODUCT_DIR + "\\Scrivon.exe")
        uninstall = system.keys.get(UNINSTALL.lower(), {})
        check(sorted(uninstall) == ["displayname", "uninstallstring"],
              "the Uninstall entry holds %s" % sorted(uninstall))
        check_value(m, uninstall, writes, UNINSTALL, "DisplayName", PRODUCT)
        check_value(m, uninstall, writes, UNINSTALL, "UninstallString",
                    "%s /%s /%s" % (uninstaller, PRODUCT, PRODUCT_DIR))
    fn.__name__ = "shortcuts_" + lang
    return fn


for _lang in ("en", "fr", "it", "ru"):
    scenario(shortcuts_in(_lang))
