#!/usr/bin/env bash
# The highlighting benchmark. Reads TARVEX_BUILD, TARVEX_BENCH_DATA,
# TARVEX_SIZES and TARVEX_OUT (see bench/run.sh); TARVEX_HIGHLIGHT_BIG lists
# the sizes of the large runs (default 1000 MB; "none" skips them).
#   - the editor's own keyword and start-stop lists over a C-like text;
#   - the Pascal, HTML, C++ and SQL highlighters over generated sources of
#     each size, with QScintilla's lexer for the same language on the same file;
#   - the large runs: a log file with the URL and number highlighters chained,
#     and an SQL dump with the SQL highlighter.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${TARVEX_BUILD:-$root/build/release}"
data="${TARVEX_BENCH_DATA:-$root/bench/data}"
out="${TARVEX_OUT:-$root/bench/results.tsv}"
bin="$build/bench/highlight/tarvex-bench-highlight"
hl="$build/bench/highlight/tarvex-bench-highlighters"
qs="$build/bench/highlight/tarvex-bench-highlighters-qsci"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
mkdir -p "$data"
raw="$(mktemp)"
trap 'rm -f "$raw"' EXIT
IFS=, read -ra sizes <<< "${TARVEX_SIZES:-100}"
big="${TARVEX_HIGHLIGHT_BIG:-1000}"

source_file() {  # KIND SIZE: a generated source, made when missing
  local f="$data/$1-${2}mb.src1.txt"
  [ -f "$f" ] || "$hl" --generate "$1" "$f" "$2"
  echo "$f"
}

for s in "${sizes[@]}"; do
  file="$data/clike-${s}mb.v1.txt"
  [ -f "$file" ] || "$bin" --generate "$file" "$s"
  echo "highlight: c-like $s MB" >&2
  "$bin" "$file" "$s" >> "$raw" || echo "highlight: failed on $s MB" >&2
  for k in pas htm cpp sql; do
    src="$(source_file "$([ "$k" = sql ] && echo sqldump || echo "$k")" "$s")"
    echo "highlight: $k $s MB" >&2
    "$hl" "$k" "$src" "$s" >> "$raw" || echo "highlight: $k failed on $s MB" >&2
    "$qs" "$k" "$src" "$s" >> "$raw" || echo "highlight: QScintilla $k failed on $s MB" >&2
  done
done
if [ "$big" != none ]; then
  IFS=, read -ra bigs <<< "$big"
  for s in "${bigs[@]}"; do
    log="$("$root/bench/common/data.sh" log "$s")"
    echo "highlight: log $s MB (addresses and numbers)" >&2
    "$hl" log "$log" "$s" >> "$raw" || echo "highlight: log failed on $s MB" >&2
    dump="$(source_file sqldump "$s")"
    echo "highlight: SQL dump $s MB" >&2
    "$hl" sql "$dump" "$s" >> "$raw" || echo "highlight: SQL dump failed on $s MB" >&2
  done
fi
cat "$raw" >> "$out"
echo
printf '%-36s %8s %-11s %14s %s\n' figure size_mb engine value unit
awk -F'\t' '{ printf "%-36s %8s %-11s %14.4g %s\n", $1, $2, $3, $4, $5 }' "$raw"
echo
echo "Full pass throughput, Tarvex against QScintilla's lexer on the same file:"
awk -F'\t' '$1 ~ /^full_pass_throughput\./ { v[$1 " " $2 " " $3] = $4; k[$1 " " $2] = 1 }
  END { for (x in k) { split(x, p, " "); t = v[x " tarvex"]; q = v[x " qscintilla"];
        if (t != "" && q != "") printf "  %-34s %6s MB  %8.1f / %8.1f MB/s = %.2fx\n", p[1], p[2], t, q, t / q } }' "$raw" | sort
