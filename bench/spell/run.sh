#!/usr/bin/env bash
# The spelling benchmark: the whole check of the prose files (10 MB by
# default; sizes up to 100 MB from TARVEX_SIZES) by tarvex-cli spell with
# Hunspell (ru_RU) and with Aspell (ru), without suggestions, against
# `hunspell -l -d ru_RU` on the same text in the same run; then the full
# check with suggestions for the misspelt words. The lists of misspelt words
# of Tarvex and of hunspell -l are compared word by word. Reads
# TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES and TARVEX_OUT (see bench/run.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=10
. "$root/bench/common/setup.sh"
cli="$TARVEX_BUILD/cli/tarvex-cli"
if ! command -v hunspell >/dev/null || [ ! -f /usr/share/hunspell/ru_RU.dic ]; then
  echo "spell: the hunspell command and hunspell-ru are needed (scripts/install-deps.sh bench)" >&2
  exit 1
fi
# An empty user's list, so that nothing but the dictionary decides.
: > "$work/cust.dic"

# run NAME SIZE ENGINE OUTFILE COMMAND...: one timed run, best of three.
measure() {
  local figure="$1" size="$2" engine="$3" outfile="$4"; shift 4
  local best="" rss="" t m
  for _ in 1 2 3; do
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > "$outfile"
    read -r t m < "$work/time"
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best="$t"; rss="$m"; fi
  done
  printf '%s\t%s\t%s\t%s\ts\n' "$figure" "$size" "$engine" "$best" >> "$raw"
  printf 'peak_rss.%s\t%s\t%s\t%s\tMB\n' "$figure" "$size" "$engine" "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" >> "$raw"
}

for s in "${size_list[@]}"; do
  [ "$s" -le 100 ] || continue
  file="$("$root/bench/common/data.sh" prose "$s")"
  echo "spell: prose $s MB" >&2
  measure spell_check_time.prose "$s" tarvex-hunspell "$work/ours.tsv" \
    "$cli" spell --no-suggestions --cust "$work/cust.dic" --engine "hunspell - ru_ru" "$file"
  measure spell_check_time.prose "$s" tarvex-aspell "$work/aspell.tsv" \
    "$cli" spell --no-suggestions --cust "$work/cust.dic" --engine "aspell - ru" "$file"
  measure spell_check_time.prose "$s" hunspell-l "$work/hunspell.txt" \
    sh -c 'exec hunspell -i cp1251 -l -d ru_RU < "$1"' sh "$file"
  measure spell_suggest_time.prose "$s" tarvex-hunspell "$work/suggest.tsv" \
    "$cli" spell --cust "$work/cust.dic" --engine "hunspell - ru_ru" "$file"
  # The two lists of misspelt words, occurrence by occurrence.
  cut -f2 "$work/ours.tsv" > "$work/ours.txt"
  iconv -f CP1251 -t UTF-8 "$work/hunspell.txt" > "$work/theirs.txt"
  differ="$(diff "$work/ours.txt" "$work/theirs.txt" | grep -c '^[<>]' || true)"
  printf 'misspelt_words.prose\t%s\ttarvex-hunspell\t%s\twords\n' "$s" "$(wc -l < "$work/ours.txt")" >> "$raw"
  printf 'misspelt_words.prose\t%s\thunspell-l\t%s\twords\n' "$s" "$(wc -l < "$work/theirs.txt")" >> "$raw"
  printf 'misspelt_words.prose\t%s\ttarvex-aspell\t%s\twords\n' "$s" "$(wc -l < "$work/aspell.tsv")" >> "$raw"
  printf 'misspelt_list_differences.prose\t%s\ttarvex-hunspell\t%s\twords\n' "$s" "$differ" >> "$raw"
  if [ "$differ" -ne 0 ]; then
    echo "spell: $s MB: the lists differ in $differ words; the first differences:" >&2
    diff "$work/ours.txt" "$work/theirs.txt" | grep '^[<>]' | head -10 >&2 || true
  fi
done
print_figures
awk -F'\t' '{ v[$1 "," $2 "," $3] = $4; s[$2] = 1 }
  END { for (k in s) {
          h = v["spell_check_time.prose," k ",hunspell-l"]; t = v["spell_check_time.prose," k ",tarvex-hunspell"]
          if (t > 0) {
            printf "spell_hunspell_l_ratio\t%s\ttarvex\t%.3g\tx\n", k, h / t
          } } }' "$raw" >> "$out"
awk -F'\t' '{ v[$1 "," $2 "," $3] = $4; s[$2] = 1 }
  END { for (k in s) if (v["spell_check_time.prose," k ",tarvex-hunspell"] > 0)
    printf "spell: %s MB: Tarvex with Hunspell %.3g s, with Aspell %.3g s; hunspell -l %.3g s (%.1f times as long as Tarvex); with suggestions %.3g s; the misspelt-word lists differ in %d words\n",
      k, v["spell_check_time.prose," k ",tarvex-hunspell"], v["spell_check_time.prose," k ",tarvex-aspell"],
      v["spell_check_time.prose," k ",hunspell-l"],
      v["spell_check_time.prose," k ",hunspell-l"] / v["spell_check_time.prose," k ",tarvex-hunspell"],
      v["spell_suggest_time.prose," k ",tarvex-hunspell"], v["misspelt_list_differences.prose," k ",tarvex-hunspell"] }' "$raw"
