#!/usr/bin/env bash
# The output benchmark over the prose files (default 10 and 100 MB): the
# page count (layout for an A4 printer at 1200 dpi) and PDF output of every
# size, RTF export of the files of 100 MB and more, with and without keyword
# highlighting. Yardsticks in the same run on the 10 MB file:
# `enscript | ps2pdf` and, where installed, LibreOffice's conversion to PDF.
# Afterwards the output of a small file is checked in poppler, LibreOffice
# and unrtf (check_output.sh).
#
# Reads TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES and TARVEX_OUT (see
# bench/run.sh); TARVEX_BENCH_TIMEOUT bounds each yardstick (default 1800 s).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=10,100
. "$root/bench/common/setup.sh"
bin="$TARVEX_BUILD/bench/output/tarvex-bench-output"
[ -x "$bin" ] || { echo "bench/output: $bin is missing; build first (bench/run.sh does)" >&2; exit 1; }
timeout_s="${TARVEX_BENCH_TIMEOUT:-1800}"

# One figure line for a yardstick.
figure() { printf '%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" "$5" >> "$raw"; }
seconds_of() {
  local s e
  s=$(date +%s%N)
  "$@" >/dev/null 2>&1 || return 1
  e=$(date +%s%N)
  awk -v a="$s" -v b="$e" 'BEGIN { printf "%.3f\n", (b - a) / 1e9 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f\n", a / b }'; }

yard_file=""
for s in "${size_list[@]}"; do
  file="$("$root/bench/common/data.sh" prose "$s")"
  [ "$s" = 10 ] && yard_file="$file"
  parts=pages,pdf
  [ "$s" -ge 100 ] && parts=pages,pdf,rtf
  echo "output: prose $s MB ($parts)" >&2
  "$bin" "$file" "$s" "$work" "$parts" >> "$raw" || echo "output: tarvex failed on $s MB" >&2
done

if [ -n "$yard_file" ]; then
  if command -v enscript >/dev/null && command -v ps2pdf >/dev/null; then
    echo "output: enscript | ps2pdf on prose 10 MB" >&2
    # Word wrap, as the printer does; Latin-1 is enscript's nearest to Windows-1251 (the bytes print either way).
    t="$(seconds_of timeout "$timeout_s" bash -c "enscript -q --word-wrap --encoding=latin1 -p - '$yard_file' | ps2pdf - '$work/enscript.pdf'")" || t=""
    if [ -n "$t" ]; then
      figure pdf_total_time.prose 10 enscript+ps2pdf "$t" s
      pages="$(pdfinfo "$work/enscript.pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')"
      [ -n "$pages" ] && figure print_pages.prose 10 enscript+ps2pdf "$pages" pages
      [ -n "$pages" ] && figure pdf_pages_per_s.prose 10 enscript+ps2pdf "$(ratio "$pages" "$t")" pages/s
    else
      echo "output: enscript | ps2pdf failed or timed out" >&2
    fi
  else
    echo "output: enscript or ps2pdf not installed: yardstick skipped" >&2
  fi
  if command -v soffice >/dev/null; then
    echo "output: LibreOffice --convert-to pdf on prose 10 MB" >&2
    cp "$yard_file" "$work/lo.txt"
    t="$(seconds_of timeout "$timeout_s" soffice --headless "-env:UserInstallation=file://$work/lo-profile" \
          --convert-to pdf --outdir "$work" "$work/lo.txt")" || t=""
    if [ -n "$t" ] && [ -f "$work/lo.pdf" ]; then
      figure pdf_total_time.prose 10 libreoffice "$t" s
      pages="$(pdfinfo "$work/lo.pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')"
      [ -n "$pages" ] && figure print_pages.prose 10 libreoffice "$pages" pages
      [ -n "$pages" ] && figure pdf_pages_per_s.prose 10 libreoffice "$(ratio "$pages" "$t")" pages/s
    else
      echo "output: LibreOffice failed or timed out" >&2
    fi
  else
    echo "output: LibreOffice not installed: yardstick skipped" >&2
  fi
fi
print_figures

# Ratios against the yardsticks, from this run.
awk -F'\t' '$1 == "pdf_total_time.prose" && $2 == 10 { t[$3] = $4 }
  END { if (t["tarvex"] > 0) for (e in t) if (e != "tarvex")
          printf "output: 10 MB to PDF: %s takes %.1f times as long as tarvex\n", e, t[e] / t["tarvex"] }' "$raw"

# Real readers of what we write.
"$here/check_output.sh" "$TARVEX_BUILD" || echo "output: the output check FAILED" >&2
