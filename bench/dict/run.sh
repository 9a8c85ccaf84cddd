#!/usr/bin/env bash
# The dictionary benchmark: in the dictionary window (offscreen), a plain
# lookup and a "*a*" lookup (listing 5% of the keys) on a generated sorted
# dictionary of 100 MB (sizes from TARVEX_SIZES up to 1000), and the search
# of a folder of ten 10 MB dictionaries; grep and awk do the same on the same
# files in the same run. Reads TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES
# and TARVEX_OUT (see bench/run.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=100
. "$root/bench/common/setup.sh"
bin="$TARVEX_BUILD/bench/dict/tarvex-bench-dict"
data="${TARVEX_BENCH_DATA:-$root/bench/data}"
mkdir -p "$data"
version=1
folder="$data/dict-folder.v$version"
if [ ! -f "$folder/dict-09.txt" ]; then
  mkdir -p "$folder"
  for i in 0 1 2 3 4 5 6 7 8 9; do "$bin" gen "$folder/dict-0$i.txt" 10 "$((i + 1))"; done
fi

# best_of FIGURE SIZE ENGINE COMMAND...: the best of three wall-clock times.
best_of() {
  local figure="$1" size="$2" engine="$3"; shift 3
  local best="" s e t
  for _ in 1 2 3; do
    s="$(date +%s.%N)"; "$@" > /dev/null || true; e="$(date +%s.%N)"
    t="$(awk -v a="$s" -v b="$e" 'BEGIN { printf "%.4f", b - a }')"
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best="$t"; fi
  done
  printf '%s\t%s\t%s\t%s\ts\n' "$figure" "$size" "$engine" "$best" >> "$raw"
}

for s in "${size_list[@]}"; do
  [ "$s" -le 1000 ] || continue
  file="$data/dict-${s}mb.v$version.txt"
  [ -f "$file" ] || "$bin" gen "$file" "$s" 7
  # A key near the end of the file: the lookup reads almost all of it.
  key="$(tail -c 4096 "$file" | tail -n 3 | head -n 1 | cut -d= -f1)"
  echo "dict: $s MB, looking up \"$key\"" >&2
  best=""
  for _ in 1 2 3; do "$bin" run "$file" "$folder" "$s" "$key" > "$work/run.tsv"; cat "$work/run.tsv" >> "$work/all.tsv"; done
  # The best of each figure over the three runs (the most keys, the least time).
  awk -F'\t' '{ k = $1 FS $2 FS $3 FS $5; if (!(k in v) || ($5 == "keys" || $5 == "MB/s" ? $4 > v[k] : $4 < v[k])) v[k] = $4 }
    END { for (k in v) { split(k, p, FS); printf "%s\t%s\t%s\t%s\t%s\n", p[1], p[2], p[3], v[k], p[4] } }' "$work/all.tsv" >> "$raw"
  : > "$work/all.tsv"
  best_of dict_plain_lookup "$s" grep grep -F -i -m1 -- "$key=" "$file"
  best_of dict_wildcard_lookup "$s" awk awk -F= 'tolower($1) ~ /a/' "$file"
  best_of dict_all_files_search "$s" grep grep -F -i -- "$key=" "$folder"/dict-0*.txt
done
print_figures
awk -F'\t' '{ v[$1 "," $2 "," $3] = $4; s[$2] = 1 }
  END { for (k in s) if (v["dict_plain_lookup," k ",tarvex"] > 0)
    printf "dict: %s MB: plain lookup %.3g s (grep %.3g s), \"*a*\" %.3g s listing %d keys (awk %.3g s), ten 10 MB files %.3g s (grep %.3g s); reading at %.0f MB/s\n",
      k, v["dict_plain_lookup," k ",tarvex"], v["dict_plain_lookup," k ",grep"], v["dict_wildcard_lookup," k ",tarvex"],
      v["dict_wildcard_keys," k ",tarvex"], v["dict_wildcard_lookup," k ",awk"], v["dict_all_files_search," k ",tarvex"],
      v["dict_all_files_search," k ",grep"], v["dict_read_throughput," k ",tarvex"] }' "$raw"
