#!/usr/bin/env bash
# The sorting benchmark: Sort lines on a dictionary of about 2 million KEY=VALUE
# lines (100 MB), plain and joining, with GNU sort -f on the UTF-8 form of the
# same lines as the yardstick (in the Russian UTF-8 locale, and in C.UTF-8);
# Compress lines on the prose files; the headline scan of a book of the largest
# size. Reads TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES and TARVEX_OUT (see
# bench/run.sh); the sizes are those of the prose files (default 100,1000).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=100,1000
. "$root/bench/common/setup.sh"
bin="$TARVEX_BUILD/bench/sort/tarvex-bench-sort"
data="${TARVEX_BENCH_DATA:-$root/bench/data}"
mkdir -p "$data"

# The dictionary and its UTF-8 form.
dict="$data/dict-100mb.v3.txt"
[ -f "$dict" ] || { "$bin" --gen-dict "$dict.part" 100 && mv "$dict.part" "$dict"; }
iconv -f CP1251 -t UTF-8 "$dict" | tr -d '\r' > "$work/dict-utf8.txt"
echo "sort: dictionary 100 MB ($(wc -l < "$work/dict-utf8.txt") lines)" >&2
"$bin" sort "$dict" 100 >> "$raw" || echo "sort: tarvex failed" >&2

# GNU sort -f with the same collation rules' locale; the locale is built here
# when the system has none.
seconds() { local s; s=$(date +%s%N); "$@"; awk -v d=$(( $(date +%s%N) - s )) 'BEGIN { printf "%.3f", d / 1e9 }'; }
locale_env=(LC_ALL=ru_RU.UTF-8)
if ! locale -a 2>/dev/null | grep -qi '^ru_RU.utf-\?8$'; then
  mkdir -p "$work/locale"
  if localedef -i ru_RU -f UTF-8 "$work/locale/ru_RU.UTF-8" 2>/dev/null; then
    locale_env=(LOCPATH="$work/locale" LC_ALL=ru_RU.UTF-8)
  else
    locale_env=()
  fi
fi
cat "$work/dict-utf8.txt" > /dev/null
if [ ${#locale_env[@]} -gt 0 ]; then
  t=$(seconds env "${locale_env[@]}" sort -f "$work/dict-utf8.txt" -o /dev/null)
  printf 'sort_time.dict\t100\tgnu-sort-ru\t%s\ts\n' "$t" >> "$raw"
  t=$(seconds env "${locale_env[@]}" sort -f -u "$work/dict-utf8.txt" -o /dev/null)
  printf 'sort_unique_time.dict\t100\tgnu-sort-ru\t%s\ts\n' "$t" >> "$raw"
fi
t=$(seconds env LC_ALL=C.UTF-8 sort -f "$work/dict-utf8.txt" -o /dev/null)
printf 'sort_time.dict\t100\tgnu-sort-c\t%s\ts\n' "$t" >> "$raw"

for s in "${size_list[@]}"; do
  file="$("$root/bench/common/data.sh" prose "$s")"
  echo "sort: compress prose $s MB" >&2
  "$bin" compress "$file" "$s" >> "$raw" || echo "sort: compress failed on $s MB" >&2
done

largest="${size_list[-1]}"
book="$data/book-${largest}mb.v1.txt"
[ -f "$book" ] || { "$bin" --gen-book "$book.part" "$largest" && mv "$book.part" "$book"; }
echo "sort: headlines of a $largest MB book" >&2
"$bin" headlines "$book" "$largest" >> "$raw" || echo "sort: headlines failed" >&2

print_figures
awk -F'\t' '{ v[$1 "," $3] = $4 }
  END {
    t = v["sort_time.dict,tarvex"]; g = v["sort_time.dict,gnu-sort-ru"]; c = v["sort_time.dict,gnu-sort-c"]
    if (t > 0 && g > 0) printf "sort: 100 MB dictionary in %.2f s, GNU sort -f (ru_RU.UTF-8) %.2f s: %.2f times its speed\n", t, g, g / t
    if (t > 0 && c > 0) printf "sort: GNU sort -f in C.UTF-8 (byte order) %.2f s\n", c }' "$raw"
