#!/usr/bin/env bash
# Wine machines (prefixes) for the tests and the demo. Booting one takes 10-20 s,
# so a template per Windows version is booted once and copied.
#   wine-machine.sh template DIR VERSION   boot DIR as a 32-bit machine of VERSION
#                                          (win95 win98 nt40 nt351 win10 ...), once
#   wine-machine.sh copy TEMPLATE DEST     DEST becomes a fresh copy of TEMPLATE
#   wine-machine.sh ensure DIR VERSION     the template, made under a lock if missing
set -euo pipefail

boot() {
  local dir version=$2
  dir=$(realpath -m "$1")
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  export WINEPREFIX=$dir WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  wineboot -i >/dev/null 2>&1
  # Wine links the user's Desktop, Documents and the like to the Unix home:
  # a machine of ours keeps them to itself.
  find "$dir/drive_c/users" -maxdepth 2 -type l | while read -r link; do
    rm "$link"
    mkdir "$link"
  done
  # Windows run headless through the null driver; the version picks the platform.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
  wineserver -w
  touch "$dir/.ready"
}

case "${1:-}" in
  template)
    boot "$2" "$3" ;;
  ensure)
    dir=$2 version=$3
    mkdir -p "$(dirname "$dir")"
    exec 9>"$dir.lock"
    flock 9
    [ -f "$dir/.ready" ] || boot "$dir" "$version" ;;
  copy)
    rm -rf "$3"
    mkdir -p "$(dirname "$3")"
    cp -a "$2" "$3" ;;
  *)
    echo "usage: $0 template|ensure|copy ..." >&2
    exit 2 ;;
esac
