#!/usr/bin/env python3
"""Fills the sample distribution folder (build/media).

    make-media.py --manifest src/app/Manifest.cpp --setup Setup.exe
                  --library SampleLibrary.dll --program SampleProgram.exe
                  --uninstaller SampleUninstaller.exe --out build/media

The folder gets Setup.exe, every name of kProductFiles (small text stand-ins,
except Scrivon.exe, the sample program), Unscri.exe and one copy of the
sample library per name of kSystemLibraries, each with its version below.
"""
import argparse
import os
import re
import shutil
import sys

import setversion

# The editor's version names the installed uninstaller (Unscri410.exe).
PROGRAM_VERSIONS = {"Scrivon.exe": "4.1.0.1", "Unscri.exe": "4.1.0.1"}

# The demo runs in a Wine machine, whose msvcrt.dll, oleaut32.dll and
# olepro32.dll are Wine's own (Wine 8.0: 7.0.2600.2180, 6.0.6001.18000 and
# 5.0.4522.0). Our copies stay below them, so the setup leaves Wine's alone.
# Wine has no mfc42.dll: that one is newer than nothing and gets installed.
LIBRARY_VERSIONS = {
    "Mfc42.dll": "6.0.8447.0",
    "Msvcrt.dll": "6.0.8168.0",
    "Oleaut32.dll": "2.40.4275.1",
    "Olepro32.dll": "5.0.4275.1",
}


def file_list(manifest, name):
    """The names of a built-in list, read from the literals of its definition."""
    text = open(manifest, encoding="utf-8").read()
    match = re.search(r"\b" + name + r"\[\]\s*=\s*(.*?);", text, re.S)
    if not match:
        raise SystemExit(f"make-media.py: {name} not found in {manifest}")
    literals = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', match.group(1)))
    return [n for n in literals.split("\\0") if n]


def copy_with_version(source, destination, version):
    shutil.copyfile(source, destination)
    setversion.set_version(destination, version)


def main():
    parser = argparse.ArgumentParser()
    for option in ("manifest", "setup", "library", "program", "uninstaller", "out"):
        parser.add_argument("--" + option, required=True)
    args = parser.parse_args()

    products = file_list(args.manifest, "kProductFiles")
    libraries = file_list(args.manifest, "kSystemLibraries")
    if sorted(libraries) != sorted(LIBRARY_VERSIONS):
        raise SystemExit(f"make-media.py: no version chosen for the libraries {libraries}")

    shutil.rmtree(args.out, ignore_errors=True)
    os.makedirs(args.out)
    shutil.copyfile(args.setup, os.path.join(args.out, "Setup.exe"))
    for name in products:
        path = os.path.join(args.out, name)
        if name == "Scrivon.exe":
            copy_with_version(args.program, path, PROGRAM_VERSIONS[name])
        else:
            with open(path, "w", newline="\r\n") as f:
                f.write(f"Scrivon V4.1 sample media: stand-in for {name}.\n")
    copy_with_version(args.uninstaller, os.path.join(args.out, "Unscri.exe"), PROGRAM_VERSIONS["Unscri.exe"])
    for name in libraries:
        copy_with_version(args.library, os.path.join(args.out, name), LIBRARY_VERSIONS[name])
    return 0


if __name__ == "__main__":
    sys.exit(main())
