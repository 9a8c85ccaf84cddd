#!/usr/bin/env bash
# The screen benchmark: the editor's window, Scintilla and QPlainTextEdit on the
# prose files (QPlainTextEdit only up to TARVEX_QPTE_SCREEN_MAX_MB, default 10:
# it takes minutes beyond). Reads TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES
# and TARVEX_OUT (see bench/run.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=10,100,1000
. "$root/bench/common/setup.sh"
qmax="${TARVEX_QPTE_SCREEN_MAX_MB:-10}"
bin="$TARVEX_BUILD/bench/screen/tarvex-bench-screen"
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
# One 5 MB line without word wrap, cut from the smallest prose file.
file="$("$root/bench/common/data.sh" prose "${size_list[0]}")"
for engine in tarvex scintilla; do
  echo "screen: $engine, one 5 MB line" >&2
  timeout "${TARVEX_BENCH_TIMEOUT:-1800}" "$bin" "$engine-longline" "$file" 5 >> "$raw" 2>/dev/null \
    || echo "screen: $engine failed or timed out on the long line" >&2
done
print_figures
awk -F'\t' '$1 ~ /^long_line/ { v[$1 "," $3] = $4 }
  END { for (f in v) { split(f, k, ","); if (k[2] == "tarvex" && v[k[1] ",scintilla"] > 0)
          printf "screen: %s %.3g ms (Scintilla %.3g ms)\n", k[1], v[f], v[k[1] ",scintilla"] } }' "$raw"
