"""The end-to-end bench: fresh Wine machines, the sample media, the autopilot,
and readers for what an installation leaves behind (files, registry, links)."""
import os
import re
import shutil
import signal
import subprocess
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
HARNESS = HERE.parent / "harness"
LOCALES = {"en": "en_US.UTF-8", "fr": "fr_FR.UTF-8", "it": "it_IT.UTF-8", "ru": "ru_RU.UTF-8"}
CODEPAGES = {"en": "cp1252", "fr": "cp1252", "it": "cp1252", "ru": "cp1251"}


class Failure(AssertionError):
    pass


SCENARIOS = {}


def scenario(fn):
    """Registers a scenario under its name with dashes."""
    SCENARIOS[fn.__name__.replace("_", "-")] = fn
    return fn


def check(condition, message):
    if not condition:
        raise Failure(message)


class Display:
    """An Xvfb server of our own, found through -displayfd."""

    def __init__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise Failure("Xvfb did not start")
            number += chunk
        os.close(read)
        self.name = ":" + number.decode().strip()

    def close(self):
        self.proc.terminate()
        self.proc.wait(10)


# The system's own program files, which a run only adds to, renames or deletes
# and never rewrites in place: a machine shares them with its template as hard
# links, so that a copy takes some 60 MB instead of 590 MB.
SHARED_FOLDERS = ("drive_c/windows/system32/", "drive_c/windows/winsxs/")
SHARED_KINDS = (".dll", ".exe", ".drv", ".sys", ".ocx", ".acm", ".cpl", ".tlb", ".ax", ".ds", ".nls", ".mui")


def copy_machine(template, prefix):
    template = Path(template)

    def place(source, target):
        rel = Path(source).relative_to(template).as_posix()
        if rel.startswith(SHARED_FOLDERS) and rel.lower().endswith(SHARED_KINDS):
            os.link(source, target)
        else:
            shutil.copy2(source, target)

    shutil.copytree(template, prefix, symlinks=True, copy_function=place)


class Machine:
    """A fresh 32-bit Wine machine of a Windows version, under build/e2e/NAME
    (or the folder root)."""

    def __init__(self, build, name, version="win98", lang="en", root=None):
        self.build = Path(build).resolve()
        self.root = Path(root).resolve() if root else self.build / "e2e" / name
        self.prefix = self.root / "machine"
        self.lang = lang
        self.codepage = CODEPAGES[lang]
        template = self.build / "wine" / "templates" / version
        subprocess.run([str(HARNESS / "wine-machine.sh"), "ensure", str(template), version], check=True)
        if self.root.exists():
            shutil.rmtree(self.root)
        self.root.mkdir(parents=True)
        copy_machine(template, self.prefix)
        # Real windows on an X display, so that every window can be photographed.
        user = self.prefix / "user.reg"
        user.write_text(user.read_text(encoding="utf-8").replace('"Graphics"="null"', '"Graphics"="x11"'),
                        encoding="utf-8")
        self.shots = self.root / "shots"
        self.shots.mkdir()

    def env(self, display=None):
        env = dict(os.environ)
        env.update(WINEPREFIX=str(self.prefix), WINEARCH="win32", WINEDEBUG="-all",
                   WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d", LANG=LOCALES[self.lang], LC_ALL=LOCALES[self.lang])
        # Whatever Wine makes for the host desktop (menus, icons) stays in the machine's folder.
        env.update(XDG_DATA_HOME=str(self.root / "host" / "data"), XDG_CONFIG_HOME=str(self.root / "host" / "config"))
        if display:
            env["DISPLAY"] = display
        else:
            env.pop("DISPLAY", None)
        return env

    def path(self, windows_path):
        """The Unix path of a C: path of the machine."""
        check(windows_path[:3].upper() == "C:\\", "not a C: path: " + windows_path)
        parts = [p for p in windows_path[3:].split("\\") if p]
        found = self.prefix / "drive_c"
        for part in parts:
            match = None
            if found.is_dir():
                for entry in os.listdir(found):
                    if entry.lower() == part.lower():
                        match = entry
                        break
            found = found / (match or part)
        return found

    def put_media(self, media, folder="C:\\Setup"):
        target = self.path(folder)
        if target.exists():
            shutil.rmtree(target)
        shutil.copytree(media, target)
        return folder

    def wait_idle(self):
        subprocess.run(["wineserver", "-w"], env=self.env(), timeout=120)

    def run_setup(self, script, setup="C:\\Setup\\Setup.exe", timeout=240, trace=False, dll_overrides=None):
        """Runs Setup.exe under the autopilot on a virtual desktop of an Xvfb
        display, then waits until the machine's Wine session has ended."""
        pilot_dir = self.path("C:\\autopilot")
        pilot_dir.mkdir(parents=True, exist_ok=True)
        shutil.copy(self.build / "autopilot.exe", pilot_dir / "autopilot.exe")
        (pilot_dir / "script.txt").write_text("\n".join(script) + "\n", encoding=self.codepage)
        log = pilot_dir / "log.txt"
        if log.exists():
            log.unlink()
        shots = pilot_dir / "shots"
        shutil.rmtree(shots, ignore_errors=True)
        shots.mkdir()
        display = Display()
        try:
            env = self.env(display.name)
            if trace:
                env["WINEDEBUG"] = trace
            if dll_overrides:
                env["WINEDLLOVERRIDES"] += ";" + dll_overrides
            with open(self.root / "wine.log", "wb") as err:
                proc = subprocess.Popen(
                    ["wine", "explorer", "/desktop=setup,800x600", "C:\\autopilot\\autopilot.exe", setup,
                     "C:\\autopilot\\script.txt", "C:\\autopilot\\log.txt", "C:\\autopilot\\shots", "shots"],
                    env=env, stdout=err, stderr=err)
                try:
                    proc.wait(timeout)
                except subprocess.TimeoutExpired:
                    subprocess.run(["wineserver", "-k"], env=self.env())
                    proc.wait(30)
                    raise Failure("the run did not end in %d s" % timeout)
            self.wait_idle()
        finally:
            display.close()
        for bmp in sorted(shots.glob("*.bmp")):
            png = self.shots / (bmp.stem + ".png")
            subprocess.run(["convert", str(bmp), str(png)], check=False)
        return Run(log.read_bytes().decode(self.codepage) if log.exists() else "")

    def restart(self):
        """The next start of Windows: wineboot's restart carries out Wininit.ini
        and the pending file renames."""
        subprocess.run(["wineboot", "-r"], env=self.env(), timeout=120, capture_output=True)
        self.wait_idle()

    def registry(self, hive):
        """The machine's registry file (system.reg for HKLM, user.reg for HKCU)."""
        return Registry(self.prefix / {"HKLM": "system.reg", "HKCU": "user.reg"}[hive])


class Run:
    """What the autopilot logged: each window met and its controls."""

    def __init__(self, text):
        self.text = text = text.replace("\r\n", "\n")
        self.lines = text.splitlines()
        self.windows = []
        current = None
        for line in self.lines:
            m = re.match(r"window (\S+) caption=(.*)$", line)
            if m:
                current = {"kind": m.group(1), "caption": unescape(m.group(2)), "controls": []}
                self.windows.append(current)
                continue
            m = re.match(r"control id=(-?\d+) class=(\S*) style=0x([0-9A-F]+) text=(.*)$", line)
            if m and current is not None:
                current["controls"].append({"id": int(m.group(1)), "class": m.group(2),
                                            "style": int(m.group(3), 16), "text": unescape(m.group(4))})
        m = re.search(r"^exit (\d+)$", text, re.M)
        self.exit_code = int(m.group(1)) if m else None
        self.done = "result done" in self.lines

    def of_kind(self, kind):
        return [w for w in self.windows if w["kind"] == kind]

    def messages(self):
        """The text of each message box, in order."""
        out = []
        for w in self.of_kind("message"):
            texts = [c["text"] for c in w["controls"] if c["class"].lower() == "static" and c["text"]]
            out.append(max(texts, key=len) if texts else "")
        return out

    @staticmethod
    def control(window, control_id):
        for c in window["controls"]:
            if c["id"] == control_id:
                return c["text"]
        raise Failure("no control %d in %s" % (control_id, window["caption"]))


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "r": "\r", "\\": "\\"}.get(m.group(1), m.group(1)), text)


class Registry:
    """Reads a Wine registry file. Values come back as (type, bytes)."""

    def __init__(self, path):
        self.keys = {}
        self.names = {}   # the names of keys and values as the file spells them
        key = current = None
        text = Path(path).read_text(encoding="utf-8", errors="replace")
        text = re.sub(r"\\\n\s*", "", text)   # continued hex lines
        for line in text.splitlines():
            if line.startswith("["):
                name = line[1:line.index("]", 1) if "]" in line else len(line)]
                name = name.replace("\\\\", "\\")
                self.names.setdefault(name.lower(), name)
                current = name.lower()
                key = self.keys.setdefault(current, {})
                continue
            if key is None or not line or line[0] not in '"@':
                continue
            if line.startswith("@="):
                name, rest = "", line[2:]
            else:
                m = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)$', line)
                if not m:
                    continue
                name, rest = decode_string(m.group(1)), m.group(2)
            key[name.lower()] = parse_value(rest)
            self.names.setdefault((current, name.lower()), name)

    def value(self, key, name=""):
        return self.keys.get(key.lower(), {}).get(name.lower())

    def has_key(self, key):
        return key.lower() in self.keys

    def string(self, key, name=""):
        v = self.value(key, name)
        if v is None:
            return None
        kind, data = v
        return data.decode("utf-16-le").rstrip("\0")


def decode_string(s):
    out = []
    i = 0
    while i < len(s):
        c = s[i]
        if c == "\\" and i + 1 < len(s):
            n = s[i + 1]
            if n == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", s[i + 2:])
                out.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(n, n))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


def parse_value(rest):
    if rest.startswith('"'):
        return (1, (decode_string(rest[1:-1]) + "\0").encode("utf-16-le"))
    m = re.match(r'str\((\d+)\):"(.*)"$', rest)
    if m:
        return (int(m.group(1)), (decode_string(m.group(2)) + "\0").encode("utf-16-le"))
    if rest.startswith("dword:"):
        return (4, int(rest[6:], 16).to_bytes(4, "little"))
    m = re.match(r"hex(?:\((\w+)\))?:(.*)$", rest)
    if m:
        kind = int(m.group(1), 16) if m.group(1) else 3
        data = bytes(int(b, 16) for b in m.group(2).split(",") if b.strip())
        return (kind, data)
    return (None, rest.encode())


def lnkinfo(path):
    """Target, arguments and description of a shortcut, read by liblnk's lnkinfo."""
    out = subprocess.run(["lnkinfo", str(path)], capture_output=True, text=True, errors="replace").stdout
    fields = {}
    for line in out.splitlines():
        m = re.match(r"\s*([A-Za-z ]+?)\s*:\s(.*)$", line)
        if m:
            fields.setdefault(m.group(1).strip(), m.group(2))
    return fields


def exif_version(path):
    out = subprocess.run(["exiftool", "-s3", "-FileVersionNumber", str(path)], capture_output=True, text=True)
    return out.stdout.strip()
