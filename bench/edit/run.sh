#!/usr/bin/env bash
# The editing benchmark: 1,000 keystrokes and 100 paragraph splits in the
# middle of the prose files in the editor control, undoing them, searching for
# a word that is not there, saving; Scintilla doing the same. Then, on a
# generated C-like text of each size highlighted by the editor's own lists,
# the keystroke that opens a block comment at the top and its ripple.
# Reads TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES and TARVEX_OUT (see
# bench/run.sh); the default sizes are 100, 1000 and 3000 MB.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=100,1000,3000
. "$root/bench/common/setup.sh"
for s in "${size_list[@]}"; do
  file="$("$root/bench/common/data.sh" prose "$s")"
  echo "edit: prose $s MB" >&2
  "$TARVEX_BUILD/bench/edit/tarvex-bench-edit" "$file" "$s" prose >> "$raw" || echo "edit: tarvex failed on $s MB" >&2
  timeout "${TARVEX_BENCH_TIMEOUT:-1800}" "$TARVEX_BUILD/bench/edit/tarvex-bench-edit-scintilla" "$file" "$s" prose >> "$raw" \
    || echo "edit: scintilla failed or timed out on $s MB" >&2
  clike="${TARVEX_BENCH_DATA:-$root/bench/data}/clike-${s}mb.v1.txt"
  [ -f "$clike" ] || "$TARVEX_BUILD/bench/highlight/tarvex-bench-highlight" --generate "$clike" "$s"
  echo "edit: block comment at the top, c-like $s MB" >&2
  "$TARVEX_BUILD/bench/edit/tarvex-bench-edit" --comment "$clike" "$s" >> "$raw" || echo "edit: comment failed on $s MB" >&2
done
print_figures
# Ratios against Scintilla.
awk -F'\t' '{ v[$1 "," $2 "," $3] = $4; s[$2] = 1 }
  END { for (k in s) {
          if (v["keystroke_median.prose," k ",tarvex"] > 0) printf "edit: %s MB: keystroke median %.3g ms (Scintilla %.3g ms)\n", k, v["keystroke_median.prose," k ",tarvex"], v["keystroke_median.prose," k ",scintilla"]
          if (v["find_case_throughput.prose," k ",scintilla"] > 0) printf "edit: %s MB: case-sensitive search %.1f times Scintilla'"'"'s speed, case-insensitive %.1f times\n", k, v["find_case_throughput.prose," k ",tarvex"] / v["find_case_throughput.prose," k ",scintilla"], v["find_nocase_throughput.prose," k ",tarvex"] / v["find_nocase_throughput.prose," k ",scintilla"] } }' "$raw"
