"""What several scenarios share: the product's folder and file list, the
sample media, and checks of an installation."""
import filecmp
import re
from pathlib import Path

from bench import check, exif_version

PRODUCT_DIR = "C:\\Program Files\\Scrivon V4.1"

# What the destination dialog shows in each language: caption, Next, Browse,
# Cancel, the group box, and the start of the welcome text.
DESTINATION = {
    "en": ("Scrivon installation", "&Next >", "&Browse...", "Cancel", "Destination folder",
           "Setup will install Scrivon V4.1 in the following folder."),
    "fr": ("Installation de Scrivon", "&Suivant >", "&Parcourir...", "Annuler", "Répertoire de destination",
           "Scrivon V4.1 va être installé dans le répertoire ci-après."),
    "it": ("Installazione di Scrivon", "&Successivo >", "&Sfoglia...", "Annulla", "Cartella destinazione",
           "Scrivon V4.1 sara installato nella cartella qui sotto."),
    "ru": ("Инсталляция Scrivon", "&Дальше >", "&Просмотр...", "Отмена", "Целевая папка",
           "Программа установки будет инсталлировать Scrivon V4.1 в следующую папку."),
}


def product_files():
    """The product file names, in list order, from the program's own sources."""
    text = (Path(__file__).resolve().parents[2] / "src" / "app" / "Manifest.cpp").read_text()
    block = text[text.index("kProductFiles[]"):text.index("kDefaultTextTypes")]
    return re.findall(r'"([^"\\]+)\\0"', block)


def media(build):
    return Path(build) / "media"


def check_installed(m, build, folder=PRODUCT_DIR, names=None):
    names = names if names is not None else product_files()
    target = m.path(folder)
    for name in names:
        check((target / name).is_file(), "%s missing from %s" % (name, folder))
        check(filecmp.cmp(target / name, media(build) / name, shallow=False), "%s differs from the media" % name)
        check(name in [p.name for p in target.iterdir()], "%s placed with another letter case" % name)


def check_uninstaller(m, build):
    version = exif_version(media(build) / "Scrivon.exe")
    major, minor, build_no = (int(x) for x in version.split(".")[:3])
    name = "Unscri%c%c%c.exe" % (0x30 + major, 0x30 + minor, 0x30 + build_no)
    path = m.path("C:\\windows\\" + name)
    check(path.is_file(), "no %s in the Windows directory" % name)
    check(filecmp.cmp(path, media(build) / "Unscri.exe", shallow=False), name + " is not Unscri.exe")
    return name


def destination_steps(extra=()):
    return ["wait destination 60", "dump", *extra]


