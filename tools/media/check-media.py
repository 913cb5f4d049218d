#!/usr/bin/env python3
"""Checks the sample media as the demo finds it: check-media.py MEDIA_DIR MANIFEST.

Every name of both built-in lists, Setup.exe and Unscri.exe must be there,
and exiftool must read the chosen version from each versioned file, both the
fixed number and the FileVersion string.
"""
import importlib.util
import json
import os
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
loader_spec = importlib.util.spec_from_file_location("make_media", os.path.join(here, "make-media.py"))
make_media = importlib.util.module_from_spec(loader_spec)
sys.path.insert(0, here)
loader_spec.loader.exec_module(make_media)


def main(media, manifest):
    expected = dict(make_media.LIBRARY_VERSIONS)
    expected.update(make_media.PROGRAM_VERSIONS)
    names = make_media.file_list(manifest, "kProductFiles") + make_media.file_list(manifest, "kSystemLibraries")
    names += ["Setup.exe", "Unscri.exe"]
    faults = [f"{n}: missing" for n in names if not os.path.isfile(os.path.join(media, n))]

    paths = [os.path.join(media, n) for n in sorted(expected)]
    out = subprocess.run(["exiftool", "-j", "-FileVersionNumber", "-FileVersion", "-FileType"] + paths,
                         capture_output=True, text=True, check=False).stdout
    for record in json.loads(out or "[]"):
        name = os.path.basename(record["SourceFile"])
        want = expected[name]
        for tag in ("FileVersionNumber", "FileVersion"):
            if str(record.get(tag)) != want:
                faults.append(f"{name}: {tag} {record.get(tag)!r}, expected {want}")
        kind = "Win32 DLL" if name.endswith(".dll") else "Win32 EXE"
        if record.get("FileType") != kind:
            faults.append(f"{name}: file type {record.get('FileType')!r}, expected {kind}")
        print(f"{name}: {record.get('FileType')} {record.get('FileVersionNumber')}")

    for fault in faults:
        print("FAULT", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
