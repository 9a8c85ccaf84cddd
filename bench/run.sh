#!/usr/bin/env bash
# Runs Tarvex's benchmarks and their baselines in one go.
#
#   bench/run.sh [--only NAME[,NAME...]] [--sizes 10,100,1000] [--out FILE]
#
# Each benchmark lives in bench/NAME/ with a run.sh that reads these variables:
#   TARVEX_BUILD       the Release build folder (benchmark programs are built there)
#   TARVEX_BENCH_DATA  the folder of generated test files (bench/common/data.sh makes them)
#   TARVEX_SIZES       the sizes in MB, comma-separated
#   TARVEX_OUT         the results file; a benchmark appends lines
#                      figure<TAB>size_mb<TAB>engine<TAB>value<TAB>unit
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
only=""
sizes="10,100,1000"
out="$here/results.tsv"
while [ $# -gt 0 ]; do
  case "$1" in
    --only) only="$2"; shift 2 ;;
    --sizes) sizes="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *) echo "bench/run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh" bench
build="$root/build/release"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVEX_BENCH=ON >/dev/null
# Builds from several work trees on one machine take turns.
lock=()
if [ -d /tmp ]; then lock=(flock /tmp/tarvex-build.lock); fi
"${lock[@]}" cmake --build "$build" -j"$(nproc)" >&2

export TARVEX_BUILD="$build"
export TARVEX_BENCH_DATA="$here/data"
export TARVEX_SIZES="$sizes"
export TARVEX_OUT="$out"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
mkdir -p "$TARVEX_BENCH_DATA"
: > "$out"

# The benchmarks in the order of the subsystems they measure, then any others.
known="load layout highlight edit screen open import"
names="$known"
for d in "$here"/*/; do
  n="$(basename "$d")"
  case " $known common " in *" $n "*) ;; *) names="$names $n" ;; esac
done

ran=0
for n in $names; do
  [ -x "$here/$n/run.sh" ] || continue
  if [ -n "$only" ] && [[ ",$only," != *",$n,"* ]]; then continue; fi
  echo "== $n" >&2
  "$here/$n/run.sh"
  ran=$((ran + 1))
done
if [ "$ran" -eq 0 ]; then
  echo "bench/run.sh: no benchmark matched \"$only\"" >&2
  exit 2
fi

echo
printf '%-34s %8s %-15s %14s  %s\n' figure size_mb engine value unit
awk -F'\t' '{ printf "%-34s %8s %-15s %14s  %s\n", $1, $2, $3, $4, $5 }' "$out"
echo
echo "All figures: $out"
