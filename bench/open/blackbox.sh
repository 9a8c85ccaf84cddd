#!/usr/bin/env bash
# The black-box check: an editor started on a copy of FILE under Xvfb, as a
# user drives it. Waits for the window whose title holds the file's name,
# presses Ctrl+End, types "xyz", presses Ctrl+S and compares the saved bytes
# with the original plus "xyz".
#
#   bench/open/blackbox.sh tarvex PROGRAM FILE
#   bench/open/blackbox.sh geany FILE
#
# Prints the seconds from the start of the editor to the verified save.
# Exit status: 0 passed, 1 failed, 77 when Xvfb or xdotool is missing.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${TARVEX_BLACKBOX_XVFB:-}" ]; then
  command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || {
    echo "blackbox: xvfb-run and xdotool are needed (scripts/install-deps.sh)" >&2
    exit 77
  }
  export TARVEX_BLACKBOX_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi

editor="$1"
shift
if [ "$editor" = tarvex ]; then
  program="$1"
  shift
fi
file="$1"
timeout_s="${TARVEX_BLACKBOX_TIMEOUT:-300}"

work="$(mktemp -d)"
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
name="blackbox-$$-$editor.txt"
copy="$work/$name"
cp "$file" "$copy"
size=$(stat -c %s "$copy")
export XDG_RUNTIME_DIR="$work/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"

now() { date +%s.%N; }
fail() {
  echo "blackbox: $editor: $*" >&2
  exit 1
}

start=$(now)
case "$editor" in
  tarvex)
    TARVEX_SETTINGS="$work/tarvex.ini" QT_QPA_PLATFORM=xcb "$program" "$copy" >"$work/log" 2>&1 &
    ;;
  geany)
    mkdir "$work/geany"
    # Saved bytes as typed: no final newline, no trimming, no break conversion.
    printf '[geany]\npref_editor_new_line=false\npref_editor_trail_space=false\npref_editor_newline_strip=false\npref_editor_ensure_convert_line_endings=false\n' >"$work/geany/geany.conf"
    geany --new-instance --no-session --no-plugins --config="$work/geany" "$copy" >"$work/log" 2>&1 &
    ;;
  *) fail "unknown editor" ;;
esac
pid=$!

# The window whose title holds the file's name.
wid=""
deadline=$(( $(date +%s) + timeout_s ))
while [ -z "$wid" ]; do
  wid="$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1)"
  [ -n "$wid" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the editor ended: $(tail -n 3 "$work/log")"
  [ "$(date +%s)" -lt "$deadline" ] || fail "no window titled $name after $timeout_s s"
  sleep 0.02
done

# No window manager: the window gets the input focus directly.
xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
sleep 0.05
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 30 xyz
xdotool key --clearmodifiers ctrl+s

# The save is done when the file has its new length and the expected bytes.
want=$((size + 3))
while :; do
  if [ "$(stat -c %s "$copy" 2>/dev/null || echo 0)" = "$want" ] && [ "$(tail -c 3 "$copy")" = xyz ]; then
    break
  fi
  kill -0 "$pid" 2>/dev/null || fail "the editor ended before saving"
  [ "$(date +%s)" -lt "$deadline" ] || fail "the file was not saved within $timeout_s s (size $(stat -c %s "$copy"))"
  sleep 0.01
done
end=$(now)
cmp -s -n "$size" "$file" "$copy" || fail "the saved file differs from the original before the typed letters"
awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
