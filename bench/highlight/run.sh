#!/usr/bin/env bash
# The highlighting benchmark over generated C-like files of the sizes asked
# for (default 100 MB). Reads TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES and
# TARVEX_OUT (see bench/run.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${TARVEX_BUILD:-$root/build/release}"
data="${TARVEX_BENCH_DATA:-$root/bench/data}"
out="${TARVEX_OUT:-$root/bench/results.tsv}"
bin="$build/bench/highlight/tarvex-bench-highlight"
mkdir -p "$data"
raw="$(mktemp)"
trap 'rm -f "$raw"' EXIT
IFS=, read -ra sizes <<< "${TARVEX_SIZES:-100}"
for s in "${sizes[@]}"; do
  file="$data/clike-${s}mb.v1.txt"
  [ -f "$file" ] || "$bin" --generate "$file" "$s"
  echo "highlight: c-like $s MB" >&2
  "$bin" "$file" "$s" >> "$raw" || echo "highlight: failed on $s MB" >&2
done
cat "$raw" >> "$out"
echo
printf '%-36s %8s %-8s %14s %s\n' figure size_mb engine value unit
awk -F'\t' '{ printf "%-36s %8s %-8s %14.4g %s\n", $1, $2, $3, $4, $5 }' "$raw"
