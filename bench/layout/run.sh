#!/usr/bin/env bash
# The layout benchmark: full word-wrap layout of the prose files at an
# 800-pixel window and at 80 columns, re-layout after one-character edits, and
# Scintilla's word wrap of the same text; then the same for one 8 MB line
# without blanks. Reads TARVEX_BUILD, TARVEX_BENCH_DATA,
# TARVEX_SIZES and TARVEX_OUT (see bench/run.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=100,1000
. "$root/bench/common/setup.sh"
for s in "${size_list[@]}"; do
  file="$("$root/bench/common/data.sh" prose "$s")"
  echo "layout: prose $s MB" >&2
  "$TARVEX_BUILD/bench/layout/tarvex-bench-layout" "$file" "$s" prose >> "$raw" || echo "layout: tarvex failed on $s MB" >&2
  timeout "${TARVEX_BENCH_TIMEOUT:-1800}" "$TARVEX_BUILD/bench/layout/tarvex-bench-layout-scintilla" "$file" "$s" prose >> "$raw" \
    || echo "layout: scintilla failed or timed out on $s MB" >&2
done
# One line of 8 MB without a blank (minified JSON): wrapping must cut it in one pass.
nospace="$work/nospace-8mb.json"
# (yes ends on the pipe head closes: not a failure)
(set +o pipefail; yes '{"id":12345,"name":"Tarvex","tags":["a","b"],"ok":true},' | tr -d '\n' | head -c 8388608 > "$nospace")
[ "$(wc -c < "$nospace")" -eq 8388608 ] || { echo "layout: could not make the file without blanks" >&2; exit 1; }
echo "layout: 8 MB without blanks" >&2
"$TARVEX_BUILD/bench/layout/tarvex-bench-layout" "$nospace" 8 nospace >> "$raw" || echo "layout: tarvex failed on the run without blanks" >&2
timeout "${TARVEX_BENCH_TIMEOUT_NOSPACE:-600}" "$TARVEX_BUILD/bench/layout/tarvex-bench-layout-scintilla" "$nospace" 8 nospace >> "$raw" \
  || echo "layout: scintilla failed or timed out on the run without blanks" >&2
print_figures
# Scintilla's full wrap time over ours, per size.
awk -F'\t' '$1 ~ /^layout_pixel_time[.]/ { k = $2 " MB " substr($1, 19); t[k "," $3] = $4; s[k] = 1 }
  END { for (k in s) if (t[k ",tarvex"] > 0 && t[k ",scintilla"] > 0)
          printf "layout: %s: full wrap in Scintilla takes %.1f times as long\n", k, t[k ",scintilla"] / t[k ",tarvex"] }' "$raw"
