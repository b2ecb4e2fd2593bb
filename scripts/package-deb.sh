#!/usr/bin/env bash
# Makes the Debian package build/package/trv810_<version>-1_<arch>.deb from the release
# build (build/release, configured as scripts/test.sh does when it is not there yet;
# only the three programs and the manual pages are built, and nothing when they are
# up to date). Its dependencies come from dpkg-shlibdeps; the package's own files
# (control, copyright, changelog) live in packaging/deb.
#
#   scripts/package-deb.sh          # prints the package's path
#   sudo apt install ./build/package/trv810_1.30-1_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release
version=$(sed -n 's/^project(trv810 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
revision=1
arch=$(dpkg --print-architecture)
name=trv810_${version}-${revision}_${arch}
out=build/package
# The staging folder sits where dpkg-shlibdeps looks for a package being built:
# debian/PACKAGE below a folder with a source package's debian/control.
work=$out/work
stage=$work/debian/trv810

if ! head -n 1 packaging/deb/changelog | grep -q "^trv810 ($version-$revision) "; then
  echo "package-deb.sh: packaging/deb/changelog does not start with version $version-$revision" >&2
  exit 1
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target trv810 trv810ctl trv810-sim man >/dev/null

rm -rf "$work"
mkdir -p "$work/debian"
printf 'Source: trv810\n\nPackage: trv810\nArchitecture: any\n' >"$work/debian/control"
DESTDIR="$PWD/$stage" cmake --install "$build" --prefix /usr >/dev/null
install -d "$stage/DEBIAN"
programs=("$stage"/usr/bin/*)
strip --strip-unneeded --remove-section=.comment --remove-section=.note "${programs[@]}"
gzip -9n "$stage"/usr/share/man/man1/*.1
doc=$stage/usr/share/doc/trv810
install -d "$doc"
install -m 644 packaging/deb/copyright "$doc/copyright"
gzip -9nc packaging/deb/changelog >"$doc/changelog.Debian.gz"
chmod 644 "$doc/changelog.Debian.gz"

depends=$(cd "$work" && dpkg-shlibdeps -O "${programs[@]#$work/}" | sed -n 's/^shlibs:Depends=//p')
# The window needs a platform plugin to show itself, which Qt only recommends.
depends="$depends, qt6-qpa-plugins"

size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
sed -e "s/@VERSION@/$version-$revision/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" \
    -e "s/@DEPENDS@/$depends/" packaging/deb/control >"$stage/DEBIAN/control"
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f ! -path "$stage/usr/bin/*" -exec chmod 644 {} +
chmod 755 "${programs[@]}"

dpkg-deb --root-owner-group -Zxz --build "$stage" "$out/$name.deb" >/dev/null
rm -rf "$work"
echo "$out/$name.deb"
