#!/usr/bin/env bash
# The conversion benchmark: KOI-WIN, All First Large and RusLat over the whole
# prose files through the editor control (from the command to the text
# replaced and undoable) and the undo of each, in a fresh process each, with
# peak memory against the file's size; iconv converting the same file from
# KOI8-R to Windows-1251 in the same run as the yardstick for the code pages;
# GNU sed capitalising the words of the same file (Latin letters only, C
# locale) as the yardstick for All First Large; and the case and
# transliteration commands on a 10 MB selection. Reads
# TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES and TARVEX_OUT (see bench/run.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=100,1000
. "$root/bench/common/setup.sh"
bin="$TARVEX_BUILD/bench/convert/tarvex-bench-conversions"
for s in "${size_list[@]}"; do
  file="$("$root/bench/common/data.sh" prose "$s")"
  echo "convert: prose $s MB" >&2
  for op in koi-win first-large ruslat; do
    "$bin" "$file" "$s" "$op" >> "$raw" || echo "convert: $op failed on $s MB" >&2
  done
  # iconv reads the file and writes the converted bytes away; -c drops what
  # Windows-1251 lacks (prose in Windows-1251 read as KOI8-R has box drawing).
  cat "$file" > /dev/null
  /usr/bin/time -f '%e %M' -o "$work/iconv.time" iconv -c -f koi8-r -t cp1251 "$file" > /dev/null || true
  read -r secs kb < "$work/iconv.time"
  printf 'convert_time.koi_win.prose\t%s\ticonv\t%s\ts\n' "$s" "$secs" >> "$raw"
  awk -v kb="$kb" -v s="$s" 'BEGIN { printf "convert_peak_ratio.koi_win.prose\t%s\ticonv\t%.4g\tx\n", s, kb / 1024 / s }' >> "$raw"
  /usr/bin/time -f '%e %M' -o "$work/sed.time" env LC_ALL=C sed -E 's/.*/\L&/; s/(^|[^[:alnum:]])([[:alnum:]])/\1\u\2/g' "$file" > /dev/null || true
  read -r secs kb < "$work/sed.time"
  printf 'convert_time.first_large.prose\t%s\tsed\t%s\ts\n' "$s" "$secs" >> "$raw"
  if [ "$s" -le 100 ]; then "$bin" "$file" "$s" selection >> "$raw" || echo "convert: selection failed on $s MB" >&2; fi
done
print_figures
awk -F'\t' '{ v[$1 "," $2 "," $3] = $4; s[$2] = 1 }
  END { for (k in s) {
          t = v["convert_time.koi_win.prose," k ",tarvex"]; i = v["convert_time.koi_win.prose," k ",iconv"]
          if (t > 0 && i > 0) printf "convert: %s MB: KOI-WIN %.3g s, iconv %.3g s (%.2f times iconv'"'"'s speed); peak memory %.2f times the file\n", k, t, i, i / t, v["convert_peak_ratio.koi_win.prose," k ",tarvex"]
          f = v["convert_time.first_large.prose," k ",tarvex"]; r = v["convert_time.ruslat.prose," k ",tarvex"]
          d = v["convert_time.first_large.prose," k ",sed"]
          if (f > 0 && d > 0) printf "convert: %s MB: All First Large %.3g s, sed %.3g s (%.2f times sed'"'"'s speed)\n", k, f, d, d / f
          if (f > 0) printf "convert: %s MB: All First Large %.3g s (peak %.2f x), RusLat %.3g s (peak %.2f x); undo %.3g s and %.3g s\n", k, f, v["convert_peak_ratio.first_large.prose," k ",tarvex"], r, v["convert_peak_ratio.ruslat.prose," k ",tarvex"], v["undo_time.first_large.prose," k ",tarvex"], v["undo_time.ruslat.prose," k ",tarvex"]
        } }' "$raw"
