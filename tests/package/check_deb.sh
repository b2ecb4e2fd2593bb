#!/usr/bin/env bash
# Checks a built Debian package: its control fields, that it holds every file in its
# place with root as owner and the programs executable, that the menu entry opens
# .kfg files by the MIME type the package registers, that the manual pages render
# without a warning, that the bash completion offers what it should, and, where lintian
# is installed, that lintian finds no error.
#
#   tests/package/check_deb.sh build/package/trv810_1.30-1_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
fail() { echo "check_deb.sh: $*" >&2; exit 1; }

info=$(dpkg-deb -I "$deb")
for field in 'Package: trv810' 'Version: 1.30-1' 'Architecture: amd64' 'Section: electronics'; do
  grep -q "^ $field\$" <<<"$info" || fail "control lacks '$field'"
done
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
names=$(sed -e 's/, */\n/g' <<<"$depends" | sed 's/ .*//')
for dep in libc6 libstdc++6 libqt6core6 libqt6widgets6 qt6-qpa-plugins; do
  grep -q -x -F "$dep" <<<"$names" || fail "Depends lacks $dep: $depends"
done

contents=$(dpkg-deb -c "$deb")
expected=(
  '-rwxr-xr-x root/root ./usr/bin/trv810'
  '-rwxr-xr-x root/root ./usr/bin/trv810ctl'
  '-rwxr-xr-x root/root ./usr/bin/trv810-sim'
  '-rw-r--r-- root/root ./usr/share/applications/trv810.desktop'
  '-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/trv810.svg'
  '-rw-r--r-- root/root ./usr/share/mime/packages/trv810.xml'
  '-rw-r--r-- root/root ./usr/share/man/man1/trv810.1.gz'
  '-rw-r--r-- root/root ./usr/share/man/man1/trv810ctl.1.gz'
  '-rw-r--r-- root/root ./usr/share/man/man1/trv810-sim.1.gz'
  '-rw-r--r-- root/root ./usr/share/bash-completion/completions/trv810ctl'
  '-rw-r--r-- root/root ./usr/share/doc/trv810/copyright'
  '-rw-r--r-- root/root ./usr/share/doc/trv810/changelog.Debian.gz'
)
for entry in "${expected[@]}"; do
  perms=${entry%% *} rest=${entry#* } owner=${rest%% *} path=${rest#* }
  grep -q -E "^${perms//-/\\-} ${owner} +[0-9]+ [0-9-]+ [0-9:]+ ${path//./\\.}\$" <<<"$contents" ||
    fail "not in the package as '$entry'"
done
files=$(grep -c -v '/$' <<<"$contents")
[ "$files" -eq ${#expected[@]} ] || fail "$files files in the package, ${#expected[@]} expected:"$'\n'"$contents"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

# The MIME type's database is built by shared-mime-info's trigger, the menu's by
# desktop-file-utils': the package needs no maintainer script for either.
type=application/x-trv810-configuration
grep -q "<mime-type type=\"$type\">" "$root/usr/share/mime/packages/trv810.xml" || fail "trv810.xml does not define $type"
grep -q '<glob pattern="\*\.kfg"/>' "$root/usr/share/mime/packages/trv810.xml" || fail "trv810.xml has no glob *.kfg"
grep -q -x "MimeType=$type;" "$root/usr/share/applications/trv810.desktop" || fail "the menu entry does not declare $type"
grep -q -x 'Exec=trv810 %f' "$root/usr/share/applications/trv810.desktop" || fail "the menu entry does not pass the file"
control_files=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t)
for script in preinst postinst prerm postrm triggers; do
  ! grep -q -x "\./$script" <<<"$control_files" || fail "the package has a $script"
done

for page in trv810 trv810ctl trv810-sim; do
  text=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>"$root/warnings")
  [ ! -s "$root/warnings" ] || fail "man -l $page.1.gz warns: $(cat "$root/warnings")"
  grep -q "^BEZEICHNUNG" <<<"$text" && grep -q "^       $page - " <<<"$text" || fail "$page.1.gz has no name line"
done

if [ -f /usr/share/bash-completion/bash_completion ]; then
  work=$(mktemp -d) && touch "$work/a.kfg" "$work/b.json" "$work/c.hex" "$work/D.BIN" "$work/e.txt"
  offered=$(cd "$work" && bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    complete_line() {
      COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}; COMPREPLY=()
      _trv810ctl trv810ctl "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
      printf "%s\n" "${COMPREPLY[*]}"
    }
    complete_line trv810ctl fl
    complete_line trv810ctl --port COM1
    complete_line trv810ctl flash ""
    complete_line trv810ctl write a.kfg --v
    complete_line trv810ctl import b.json ""' _ "$root/usr/share/bash-completion/completions/trv810ctl" |
    sed 's/ /\n/g' | sort | tr '\n' ' ')
  rm -rf "$work"
  want='--verify COM1 COM10 COM11 COM12 D.BIN a.kfg c.hex flash '
  [ "$offered" = "$want" ] || fail "the bash completion offers '$offered', not '$want'"
fi

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >"$root/lintian" 2>&1 || fail "lintian: $(cat "$root/lintian")"
fi
echo "check_deb.sh: $(basename "$deb") passed ($files files)"
