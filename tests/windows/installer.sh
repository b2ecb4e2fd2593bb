#!/usr/bin/env bash
# The Windows installer under Wine, in the prefix of the build:
#
#   tests/windows/installer.sh MSI STAGE
#
# MSI is the installer the build made, STAGE the folder it was made in (trv810.wxs
# and the files), from which a later version 99.1 is made as well. Installs MSI
# quietly and checks the files, the start-menu entry, the .kfg association and the
# uninstall entry; installs the later version over it (which must replace it, not sit
# beside it) and MSI again (which must be refused); removes the later version and
# checks that nothing is left.
set -euo pipefail
msi=$(realpath "$1")
stage=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dir=$(dirname "$msi")
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
# A prefix of its own: the installer's service and its Wine server have no display,
# and a window of another test that met them in the shared prefix could not be created.
export WINEPREFIX=${TRV810_INSTALLER_PREFIX:-$dir/wine-prefix-installer}
wine() { "$root/cmake/wine-run.sh" "$@" 2>/dev/null | tr -d '\r'; }
fail() { echo "installer.sh: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
later=$work/trv810-99.1-win64.msi
wixl -a x64 -D Version=99.1 -o "$later" "$stage/trv810.wxs" 2>/dev/null
windows() { echo "Z:${1//\//\\}"; }
product() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
uninstall_key() { echo "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(product "$1")"; }
# The value `name` of registry key `key` ("" for its default), or nothing.
value() {
  local which=(/v "$2")
  [ -z "$2" ] && which=(/ve)
  wine reg query "$1" "${which[@]}" | sed -n 's/^.*    REG_[A-Z_]*    //p'
}
msiexec() {
  local status=0
  wine msiexec "$@" /qn >/dev/null || status=$?
  echo "$status"
}

folder=$WINEPREFIX/drive_c/Program\ Files/TRV810
# Windows puts a per-machine install's entry into the start menu of all users; Wine's
# installer into the installing user's. Either counts, and neither may stay.
entry() {
  local e
  for e in "$WINEPREFIX/drive_c/ProgramData" "$WINEPREFIX"/drive_c/users/*/AppData/Roaming; do
    e="$e/Microsoft/Windows/Start Menu/Programs/TRV810-Tool.lnk"
    [ -f "$e" ] && echo "$e"
  done
  return 0
}
# A run that failed half-way may have left either version installed.
msiexec /x "$(windows "$later")" >/dev/null
msiexec /x "$(windows "$msi")" >/dev/null

[ "$(msiexec /i "$(windows "$msi")")" = 0 ] || fail "msiexec /i failed"
for f in trv810.exe trv810ctl.exe LIESMICH.txt; do
  cmp -s "$folder/$f" "$stage/$f" || fail "$f not installed into Program Files\\TRV810"
done
[ -n "$(entry)" ] || fail "no start-menu entry TRV810-Tool"
grep -a -q 'trv810\.exe' "$(entry)" || fail "the start-menu entry does not start trv810.exe"
exe='C:\Program Files\TRV810\trv810.exe'
[ "$(value 'HKCR\.kfg' '')" = TRV810.Konfiguration ] || fail ".kfg is not associated: '$(value 'HKCR\.kfg' '')'"
[ "$(value 'HKCR\TRV810.Konfiguration\shell\open\command' '')" = "\"$exe\" \"%1\"" ] ||
  fail "a .kfg file opens with '$(value 'HKCR\TRV810.Konfiguration\shell\open\command' '')'"
[ "$(value 'HKCR\TRV810.Konfiguration\DefaultIcon' '')" = "$exe,0" ] || fail "a .kfg file has no program icon"
key=$(uninstall_key "$msi")
[ "$(value "$key" DisplayName)" = TRV810-Tool ] || fail "no uninstall entry TRV810-Tool"
[ "$(value "$key" DisplayVersion)" = 1.30 ] || fail "the uninstall entry says version '$(value "$key" DisplayVersion)'"

# A later version replaces this one; this one cannot then replace the later one.
[ "$(msiexec /i "$(windows "$later")")" = 0 ] || fail "the later version did not install over this one"
[ -z "$(value "$key" DisplayName)" ] || fail "the later version installed beside this one"
[ "$(value "$(uninstall_key "$later")" DisplayVersion)" = 99.1 ] || fail "the later version has no uninstall entry"
[ -f "$folder/trv810.exe" ] && [ -n "$(entry)" ] || fail "replacing a version lost files"
[ "$(msiexec /i "$(windows "$msi")")" != 0 ] || fail "an earlier version installed over a later one"
[ "$(value "$(uninstall_key "$later")" DisplayVersion)" = 99.1 ] || fail "the refused install removed the later version"

[ "$(msiexec /x "$(windows "$later")")" = 0 ] || fail "msiexec /x failed"
[ ! -e "$folder" ] || fail "Program Files\\TRV810 is still there: $(ls "$folder")"
[ -z "$(entry)" ] || fail "the start-menu entry is still there"
[ -z "$(value 'HKCR\.kfg' '')" ] || fail "the .kfg association is still there"
[ -z "$(value 'HKCR\TRV810.Konfiguration\shell\open\command' '')" ] || fail "the file type is still there"
[ -z "$(value "$(uninstall_key "$later")" DisplayName)" ] || fail "the uninstall entry is still there"
echo "installer.sh: installed, replaced by a later version, refused over it, removed"
