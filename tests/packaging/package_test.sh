#!/usr/bin/env bash
# Builds a Debian package from this build and checks what it holds.
set -euo pipefail
build="$1"
command -v dpkg-deb >/dev/null || { echo "no dpkg-deb here"; exit 77; }
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
(cd "$build" && cpack -G DEB -B "$tmp" >/dev/null)
deb="$(ls "$tmp"/tarvex_*.deb)"
list="$(dpkg-deb -c "$deb")"
for f in ./usr/bin/tarvex ./usr/bin/tarvex-cli "./usr/share/tarvex/Tarvex Readme.txt" \
         ./usr/share/applications/tarvex.desktop ./usr/share/icons/hicolor/scalable/apps/tarvex.svg \
         ./usr/share/man/man1/tarvex.1 ./usr/share/metainfo/io.github.tarvex.Tarvex.metainfo.xml; do
  grep -qF "$f" <<<"$list" || { echo "FAIL: the package lacks $f" >&2; exit 1; }
done
depends="$(dpkg-deb -f "$deb" Depends)"
grep -q "libqt6widgets6" <<<"$depends" || { echo "FAIL: computed dependencies missing: $depends" >&2; exit 1; }
grep -q "hunspell-ru" <<<"$(dpkg-deb -f "$deb" Recommends)" || { echo "FAIL: no dictionaries recommended" >&2; exit 1; }
echo "package: ok ($(basename "$deb"))"
