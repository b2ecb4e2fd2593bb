#!/usr/bin/env bash
# Installs what the build, the tests and the demo need, from Debian's packages.
# Idempotent and quiet: prints nothing when everything is present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  googletest libgtest-dev libgmock-dev   # tests
  nlohmann-json3-dev                     # the configuration's JSON form (header-only)
  qt6-base-dev                           # the desktop program
  qt6-translations-l10n                  # Qt's German dialogs and buttons
  binutils                               # objcopy, for the HEX benchmark
  xvfb xauth                             # running the desktop program without a display
  desktop-file-utils                     # checking the installed .desktop file
  shared-mime-info libglib2.0-bin        # checking the MIME type of .kfg files
  scdoc                                  # the manual pages
  dpkg-dev lintian man-db bash-completion  # making and checking the Debian package
  g++-mingw-w64-x86-64-posix             # the Windows cross build (posix threads)
  wine64                                 # running the Windows tests
  librsvg2-bin icoutils zip              # the Windows program's icon and its zip
  wixl msitools                          # the Windows installer and its test
  openbox imagemagick                    # pictures of the Windows program under Wine
  ser2net iproute2                       # a serial device server in front of the simulator (tests)
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get update -qq >/dev/null
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
