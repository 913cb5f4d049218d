#!/usr/bin/env python3
"""End-to-end scenarios: the real Setup.exe from the sample media in a fresh
Wine machine, worked by the autopilot, then the machine read back.
    scenarios.py --list                   the scenario names
    scenarios.py --build DIR NAME         run one scenario
The scenarios live in the scenario_*.py modules beside this file.
"""
import importlib
import sys
import traceback
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
from bench import SCENARIOS, Failure  # noqa: E402

for module in sorted(HERE.glob("scenario_*.py")):
    importlib.import_module(module.stem)

def main(argv):
    if argv[1:] == ["--list"]:
        print("\n".join(SCENARIOS))
        return 0
    if len(argv) != 4 or argv[1] != "--build":
        print(__doc__)
        return 2
    build, name = argv[2], argv[3]
    try:
        SCENARIOS[name](build)
    except Failure as failure:
        print("FAILED %s: %s" % (name, failure))
        return 1
    except Exception:
        traceback.print_exc()
        return 1
    print("passed " + name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
