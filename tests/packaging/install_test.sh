#!/usr/bin/env bash
# Installs this build into a fresh prefix and runs the installed programs
# with an empty home: the settings go to the config folder, nothing is
# written next to the programs, and the data files validate.
set -euo pipefail
build="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for f in bin/tarvex bin/tarvex-cli "share/tarvex/Tarvex Readme.txt" share/applications/tarvex.desktop \
         share/icons/hicolor/scalable/apps/tarvex.svg share/icons/hicolor/48x48/apps/tarvex.png \
         share/icons/hicolor/256x256/apps/tarvex.png share/man/man1/tarvex.1 share/man/man1/tarvex-cli.1 \
         share/metainfo/io.github.tarvex.Tarvex.metainfo.xml; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done

version="$("$prefix/bin/tarvex-cli" --version)"
[[ "$version" =~ ^tarvex-cli\ [0-9]+\.[0-9]+ ]] || fail "tarvex-cli --version: $version"
[ "$("$prefix/bin/tarvex" --version)" = "tarvex ${version#tarvex-cli }" ] || fail "the programs disagree on the version"
"$prefix/bin/tarvex" --help | grep -q "Usage: tarvex" || fail "tarvex --help"
grep -q "Tarvex ${version#tarvex-cli }" "$prefix/share/man/man1/tarvex.1" || fail "the man page has no version"

# The installed window with an empty home: started on a file, closed by SIGTERM as a session ends.
home="$tmp/home"
mkdir -p "$home"
printf 'hello\r\n' > "$tmp/doc.txt"
before="$(ls -A "$prefix/bin" "$prefix/share/tarvex")"
runtime="$tmp/run"
mkdir -m 700 "$runtime"
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen \
  "$prefix/bin/tarvex" "$tmp/doc.txt" &
pid=$!
# Running once it answers other instances.
for _ in $(seq 300); do [ -n "$(ls -A "$runtime/tarvex-instances" 2>/dev/null)" ] && break; sleep 0.1; done
kill -TERM "$pid"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; fail "the program did not close on SIGTERM"; fi
wait "$pid" || fail "the program failed"
ini="$home/.config/tarvex/tarvex.ini"
[ -f "$ini" ] || fail "no settings file in the config folder"
grep -q "^\[Options\]" "$ini" || fail "the settings were not written: $(cat "$ini")"
[ "$(ls -A "$prefix/bin" "$prefix/share/tarvex")" = "$before" ] || fail "something was written next to the programs"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/tarvex.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --explain "$prefix/share/metainfo/io.github.tarvex.Tarvex.metainfo.xml" \
    || fail "appstreamcli validate"
fi
echo "installed programs: ok"
