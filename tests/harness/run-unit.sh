#!/usr/bin/env bash
# Runs one unit-test program under Wine:
#   run-unit.sh BUILD_DIR MACHINE VERSION LANG PROGRAM [ARGS]
# The unit tests share the machine "unit" (each works in its own folders and
# keys); a program that changes what the others rely on (the user's shell
# folders, say) names a machine of its own. VERSION is the Windows version
# the machine reports (win10, win98, nt40 ...); LANG picks the user language
# (en fr it ru), and with it the code page.
set -euo pipefail
build=$1 name=$2 version=$3 lang=$4 program=$5
shift 5
here=$(cd "$(dirname "$0")" && pwd)
template=$build/wine/templates/$version
machine=$build/wine/$name
"$here/wine-machine.sh" ensure "$template" "$version"
(
  flock 9
  [ -f "$machine/.ready" ] || "$here/wine-machine.sh" copy "$template" "$machine"
) 9>"$machine.lock"
case $lang in
  en) locale=en_US.UTF-8 ;;
  fr) locale=fr_FR.UTF-8 ;;
  it) locale=it_IT.UTF-8 ;;
  ru) locale=ru_RU.UTF-8 ;;
  *) echo "unknown language $lang" >&2; exit 2 ;;
esac
export WINEPREFIX=$machine WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=$locale LC_ALL=$locale SETUP_TEST_LANG=$lang
exec wine "$program" "$@"
