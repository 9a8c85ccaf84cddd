#!/usr/bin/env bash
# The open benchmark: the figure users feel. For each prose file (100 MB and
# 1 GB when those sizes are asked for), the tarvex program and the Scintilla
# and QPlainTextEdit hosts are each started fresh (offscreen) and timed from
# process start to the first painted screen and to the end of the layout,
# with the process's peak memory. Then the black-box check: the real program
# under Xvfb on the 100 MB file (open, Ctrl+End, type, Ctrl+S, compare the
# bytes), and geany on the same file in the same run. Also the speed of
# decoding UTF-8 and KOI8-R text while opening (the conversions alone and the
# whole loader), and saving the open document as Windows-1251 and as UTF-8.
#
# Reads TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES and TARVEX_OUT (see
# bench/run.sh). Optional: TARVEX_QPTE_MAX_MB (largest file for
# QPlainTextEdit, default 1000), TARVEX_OPEN_LAYOUT_LIMIT (seconds to wait
# for Scintilla's background wrapping, default 300), TARVEX_BENCH_TIMEOUT.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=100,1000
. "$root/bench/common/setup.sh"
export TARVEX_BENCH_DATA="${TARVEX_BENCH_DATA:-$root/bench/data}"
qpte_max="${TARVEX_QPTE_MAX_MB:-1000}"

bin="$TARVEX_BUILD/bench/open/tarvex-bench-open"
program="$TARVEX_BUILD/app/tarvex"
for b in "$bin" "$program"; do
  [ -x "$b" ] || { echo "bench/open: $b is missing; build first (bench/run.sh does)" >&2; exit 1; }
done

# The start-up figures: the benchmark is about the two sizes named; others are skipped.
blackbox_file=""
for s in "${size_list[@]}"; do
  case "$s" in 100|1000) ;; *) continue ;; esac
  file="$("$root/bench/common/data.sh" prose "$s")"
  [ "$s" = 100 ] && blackbox_file="$file"
  echo "-- prose $s MB ($file)" >&2
  for engine in tarvex scintilla qplaintextedit; do
    if [ "$engine" = qplaintextedit ] && [ "$s" -gt "$qpte_max" ]; then
      echo "  qplaintextedit skipped above $qpte_max MB (TARVEX_QPTE_MAX_MB)" >&2
      continue
    fi
    if ! "$bin" run "$engine" "$file" "$s" prose "$program" >> "$raw"; then
      echo "  $engine prose $s MB: failed" >&2
    fi
  done
done
# The same prose as UTF-8, opened by the program itself: decoded as it is
# read, it should show, answer and hold memory as the Windows-1251 file does.
for s in "${size_list[@]}"; do
  case "$s" in 100|1000) ;; *) continue ;; esac
  file="$("$root/bench/common/data.sh" prose "$s")"
  utf8="${file%.txt}.utf8.txt"
  [ -f "$utf8" ] || iconv -f cp1251 -t utf-8 "$file" > "$utf8"
  echo "-- prose as UTF-8 $s MB ($utf8)" >&2
  "$bin" run tarvex "$utf8" "$s" prose-utf8 "$program" >> "$raw" || echo "  tarvex prose-utf8 $s MB: failed" >&2
done
# Decoding while opening: UTF-8 and KOI8-R forms of the 100 MB prose.
if [ -n "$blackbox_file" ]; then
  echo "-- decoding UTF-8 and KOI8-R (prose 100 MB)" >&2
  "$TARVEX_BUILD/bench/open/tarvex-bench-convert" "$blackbox_file" 100 >> "$raw" || echo "  decoding: failed" >&2
fi
# Saving the open document, as Windows-1251 and as UTF-8 (the largest size asked).
save_file=""
for s in "${size_list[@]}"; do
  case "$s" in 100|1000) save_file="$("$root/bench/common/data.sh" prose "$s")"; save_size="$s" ;; esac
done
if [ -n "$save_file" ]; then
  echo "-- saving (prose $save_size MB)" >&2
  "$TARVEX_BUILD/bench/open/tarvex-bench-save" "$save_file" "$save_size" >> "$raw" || echo "  saving: failed" >&2
fi
cat "$raw" >> "$out"

# The black-box check on the 100 MB file, with geany in the same run.
if [ -n "$blackbox_file" ]; then
  echo "-- black-box check under Xvfb (prose 100 MB)" >&2
  t_tarvex="$("$here/blackbox.sh" tarvex "$program" "$blackbox_file")" || t_tarvex=""
  if [ -z "$t_tarvex" ]; then
    echo "  black-box check: FAILED for tarvex" >&2
    printf 'blackbox_check.prose\t100\ttarvex\t0\tpassed\n' >> "$out"
  else
    printf 'blackbox_check.prose\t100\ttarvex\t1\tpassed\n' >> "$out"
    printf 'blackbox_open_type_save.prose\t100\ttarvex\t%s\ts\n' "$t_tarvex" >> "$out"
    echo "  tarvex: open, type, save and verify in $t_tarvex s" >&2
  fi
  if command -v geany >/dev/null; then
    t_geany="$("$here/blackbox.sh" geany "$blackbox_file")" || t_geany=""
    if [ -n "$t_geany" ]; then
      printf 'blackbox_open_type_save.prose\t100\tgeany\t%s\ts\n' "$t_geany" >> "$out"
      echo "  geany: open, type, save and verify in $t_geany s" >&2
      if [ -n "$t_tarvex" ]; then
        ratio="$(awk -v g="$t_geany" -v t="$t_tarvex" 'BEGIN { printf "%.1f", g / t }')"
        printf 'geany_blackbox_ratio.prose\t100\ttarvex\t%s\tx\n' "$ratio" >> "$out"
        echo "  tarvex is ${ratio}x faster than geany (target: 5x)" >&2
      fi
    else
      echo "  geany did not complete the check" >&2
    fi
  else
    echo "  geany is not installed (scripts/install-deps.sh bench)" >&2
  fi
fi

# The table: one block per size.
awk -F'\t' '
  { split($1, a, "."); k = a[1] FS $2; v[k FS $3] = $4; u[a[1]] = $5; if (!(k in seen)) { seen[k] = 1 } }
  END {
    n = split("open_first_paint open_layout_done open_peak_rss open_rss_ratio", figs, " ")
    for (s = 1; s <= 2; s++) {
      size = s == 1 ? 100 : 1000
      if (!((figs[1] FS size) in seen)) continue
      printf "\nprose %s MB: process start to\n", size
      printf "  %-18s %-4s %10s %10s %12s\n", "figure", "unit", "tarvex", "scintilla", "qplaintext"
      for (j = 1; j <= n; j++) {
        k = figs[j] FS size
        t = v[k FS "tarvex"]; c = v[k FS "scintilla"]; q = v[k FS "qplaintextedit"]
        printf "  %-18s %-4s %10s %10s %12s\n", figs[j], u[figs[j]], t == "" ? "-" : t, c == "" ? "-" : c, q == "" ? "-" : q
      }
    }
  }' "$raw"
