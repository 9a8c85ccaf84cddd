#!/usr/bin/env bash
# The screen benchmark: the editor's window, Scintilla and QPlainTextEdit on the
# prose files (QPlainTextEdit only up to TARVEX_QPTE_SCREEN_MAX_MB, default 10:
# it takes minutes beyond). Reads TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES
# and TARVEX_OUT (see bench/run.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export TARVEX_BUILD="${TARVEX_BUILD:-$root/build/release}"
sizes="${TARVEX_SIZES:-10,100,1000}"
out="${TARVEX_OUT:-$root/bench/results.tsv}"
qmax="${TARVEX_QPTE_SCREEN_MAX_MB:-10}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then export XDG_RUNTIME_DIR="$work/xdg"; mkdir -m 700 "$XDG_RUNTIME_DIR"; fi
raw="$work/raw.tsv"
: > "$raw"
bin="$TARVEX_BUILD/bench/screen/tarvex-bench-screen"
IFS=, read -ra size_list <<< "$sizes"
for s in "${size_list[@]}"; do
  file="$("$root/bench/common/data.sh" prose "$s")"
  for engine in tarvex scintilla qplaintextedit; do
    if [ "$engine" = qplaintextedit ] && [ "$s" -gt "$qmax" ]; then
      echo "screen: qplaintextedit skipped at $s MB (over $qmax MB)" >&2
      continue
    fi
    echo "screen: $engine, prose $s MB" >&2
    timeout "${TARVEX_BENCH_TIMEOUT:-1800}" "$bin" "$engine" "$file" "$s" >> "$raw" 2>/dev/null \
      || echo "screen: $engine failed or timed out on $s MB" >&2
  done
done
cat "$raw" >> "$out"
echo
printf '%-30s %8s %-15s %14s %s\n' figure size_mb engine value unit
awk -F'\t' '{ printf "%-30s %8s %-15s %14.4g %s\n", $1, $2, $3, $4, $5 }' "$raw"
