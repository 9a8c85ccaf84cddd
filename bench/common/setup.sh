# Shared set-up of the benchmark scripts, sourced after `set -euo pipefail`.
# In: root (the checkout), default_sizes. Out: TARVEX_BUILD, sizes, out, work (a
# temporary folder removed on exit), raw (this run's figures) and print_figures.
export TARVEX_BUILD="${TARVEX_BUILD:-$root/build/release}"
sizes="${TARVEX_SIZES:-$default_sizes}"
out="${TARVEX_OUT:-$root/bench/results.tsv}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Qt warns without a runtime folder; a headless CI shell often has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then export XDG_RUNTIME_DIR="$work/xdg"; mkdir -m 700 "$XDG_RUNTIME_DIR"; fi
raw="$work/raw.tsv"
: > "$raw"
IFS=, read -ra size_list <<< "$sizes"

# Appends this run's figures to the results file and prints them as a table.
print_figures() {
  cat "$raw" >> "$out"
  echo
  printf '%-34s %8s %-15s %14s %s\n' figure size_mb engine value unit
  awk -F'\t' '{ printf "%-34s %8s %-15s %14.4g %s\n", $1, $2, $3, $4, $5 }' "$raw"
}
