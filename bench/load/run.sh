#!/usr/bin/env bash
# The load benchmark: for each test file, Tarvex's paragraph store and the two
# baselines (Scintilla, QPlainTextEdit) each load it, save a copy, insert a
# character and split a paragraph in the middle, and load it again; every run
# is a fresh process so that peak memory belongs to one engine and one file.
#
# Reads TARVEX_BUILD, TARVEX_BENCH_DATA, TARVEX_SIZES and TARVEX_OUT (see
# bench/run.sh), prints a table with the ratios and appends the figures to
# TARVEX_OUT. Files: prose and log at every size, longlines at 100 MB when 100
# is among the sizes.
#
# Optional settings:
#   TARVEX_BENCH_REPEAT   runs per engine and file, best figure kept
#                         (default 3 up to 100 MB, 1 above)
#   TARVEX_BENCH_TIMEOUT  seconds one run may take (default 1200)
#   TARVEX_QPTE_MAX_MB    largest file given to QPlainTextEdit (default 1000)
#   TARVEX_BENCH_MEM_MB   address-space cap per run (default: the memory available)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export TARVEX_BUILD="${TARVEX_BUILD:-$root/build/release}"
export TARVEX_BENCH_DATA="${TARVEX_BENCH_DATA:-$root/bench/data}"
sizes="${TARVEX_SIZES:-10,100,1000}"
out="${TARVEX_OUT:-$root/bench/results.tsv}"
timeout_s="${TARVEX_BENCH_TIMEOUT:-1200}"
qpte_max="${TARVEX_QPTE_MAX_MB:-1000}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

tarvex_bin="$TARVEX_BUILD/bench/load/tarvex-bench-load"
base_bin="$TARVEX_BUILD/bench/load/tarvex-bench-load-baseline"
for b in "$tarvex_bin" "$base_bin"; do
  [ -x "$b" ] || { echo "bench/load: $b is missing; build first (bench/run.sh does)" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Qt warns on every start without a runtime folder.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$work/xdg"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
raw="$work/raw.tsv"      # every run's figures
notes="$work/notes.tsv"  # kind, size, engine, remark
: > "$raw"
: > "$notes"

# Fresh memory caps any load that builds its text in new pages; say how fast it is here.
machine="$("$TARVEX_BUILD/bench/common/tarvex-bench-machine" 2>/dev/null || true)"

files=()
IFS=, read -ra size_list <<< "$sizes"
for s in "${size_list[@]}"; do
  [[ "$s" =~ ^[0-9]+$ ]] || { echo "bench/load: sizes must be whole MB, not \"$s\"" >&2; exit 2; }
  files+=("prose $s" "log $s")
  if [ "$s" = 100 ]; then files+=("longlines 100"); fi
done

# Runs one engine on one file, TARVEX_BENCH_REPEAT times.
run_engine() {
  local kind="$1" size="$2" engine="$3" file="$4"
  local repeat="${TARVEX_BENCH_REPEAT:-}"
  if [ -z "$repeat" ]; then
    if [ "$size" -le 100 ]; then repeat=3; else repeat=1; fi
  fi
  local cmd=("$base_bin" "$engine" "$file" "$size" "$kind")
  if [ "$engine" = tarvex ]; then cmd=("$tarvex_bin" "$file" "$size" "$kind"); fi
  local i rc
  for ((i = 1; i <= repeat; i++)); do
    set +e
    timeout --kill-after=30 "$timeout_s" "${cmd[@]}" > "$work/run.out" 2> "$work/run.err"
    rc=$?
    set -e
    if [ "$rc" -eq 0 ]; then
      cat "$work/run.out" >> "$raw"
      # The readable lines of the first run show progress; repeats only keep the best figures.
      if [ "$i" -eq 1 ]; then cat "$work/run.err" >&2; fi
      continue
    fi
    local why
    case "$rc" in
      3) why="out of memory" ;;
      124) why="timed out after ${timeout_s} s" ;;
      137) why="killed by SIGKILL (out of memory, or the timeout of ${timeout_s} s)" ;;
      *) why="failed (exit status $rc)" ;;
    esac
    local last
    last="$(grep -v '^ ' "$work/run.err" | tail -n 1 || true)"
    if [ -n "$last" ] && [ "$rc" -ne 3 ]; then why="$why: $last"; fi
    echo "  $engine $kind $size MB: $why" >&2
    printf '%s\t%s\t%s\t%s\n' "$kind" "$size" "$engine" "$why" >> "$notes"
    break
  done
}

for f in "${files[@]}"; do
  read -r kind size <<< "$f"
  file="$("$root/bench/common/data.sh" "$kind" "$size")"
  echo "-- $kind $size MB ($file)" >&2
  run_engine "$kind" "$size" tarvex "$file"
  run_engine "$kind" "$size" scintilla "$file"
  if [ "$size" -le "$qpte_max" ]; then
    run_engine "$kind" "$size" qplaintextedit "$file"
  else
    printf '%s\t%s\t%s\t%s\n' "$kind" "$size" qplaintextedit \
      "skipped: too slow and too big above $qpte_max MB (TARVEX_QPTE_MAX_MB)" >> "$notes"
  fi
done

# The best of the repeats: the highest throughput, the lowest of everything else.
best="$work/best.tsv"
awk -F'\t' -v OFS='\t' '
  { k = $1 FS $2 FS $3
    if (!(k in v)) { order[++n] = k; v[k] = $4; u[k] = $5 }
    else if ($5 == "MB/s" ? $4 + 0 > v[k] + 0 : $4 + 0 < v[k] + 0) v[k] = $4 }
  END { for (i = 1; i <= n; i++) print order[i], v[order[i]], u[order[i]] }' "$raw" > "$best"

# How many times longer the baselines take to load than Tarvex.
awk -F'\t' -v OFS='\t' '
  { v[$1 FS $2 FS $3] = $4; if ($3 == "tarvex" && $1 ~ /^(re)?load_time\./) keys[++n] = $1 FS $2 }
  END {
    for (i = 1; i <= n; i++) {
      split(keys[i], a, FS); t = v[keys[i] FS "tarvex"]
      split(a[1], f, "."); sub(/_time$/, "", f[1])
      if (t <= 0) continue
      for (e = 1; e <= 2; e++) {
        eng = e == 1 ? "scintilla" : "qplaintextedit"
        b = v[keys[i] FS eng]
        if (b != "") printf "%s_%s_ratio.%s\t%s\ttarvex\t%.6g\tx\n", eng, f[1], f[2], a[2], b / t
      }
    }
  }' "$best" > "$work/ratios.tsv"

cat "$best" "$work/ratios.tsv" >> "$out"

# The table: one block per file, one row per figure; "x" columns say how many
# times better Tarvex does (baseline / Tarvex for times and memory, Tarvex /
# baseline for throughputs).
file_list="$(printf '%s;' "${files[@]}")"
if [ -n "$machine" ]; then printf '\nThis machine: %s\n' "$machine"; fi
awk -F'\t' -v files="$file_list" -v notes="$notes" '
  function fmt(x) { return x == "" ? "-" : sprintf("%.4g", x) }
  function better(t, b, unit) {
    if (t == "" || b == "" || t <= 0 || b <= 0) return "-"
    return sprintf("%.1fx", unit == "MB/s" ? t / b : b / t)
  }
  { split($1, a, "."); v[a[1] FS a[2] FS $2 FS $3] = $4; unit[a[1]] = $5 }
  END {
    while ((getline line < notes) > 0) {
      split(line, p, "\t"); note[p[1] FS p[2]] = note[p[1] FS p[2]] "    " p[3] ": " p[4] "\n"
    }
    nfig = split("load_time load_throughput reload_time reload_throughput save_time save_throughput " \
                 "peak_rss rss_ratio insert_middle split_middle", figs, " ")
    nfile = split(files, F, ";")
    for (i = 1; i <= nfile; i++) {
      if (F[i] == "") continue
      split(F[i], kf, " "); kind = kf[1]; size = kf[2]
      printf "\n%s %s MB\n", kind, size
      printf "  %-18s %-5s %11s %11s %11s %9s %9s\n", "figure", "unit", "tarvex", "scintilla", "qplaintext", "vs sci", "vs qpte"
      for (j = 1; j <= nfig; j++) {
        g = figs[j]; k = g FS kind FS size
        t = v[k FS "tarvex"]; s = v[k FS "scintilla"]; q = v[k FS "qplaintextedit"]
        if (t == "" && s == "" && q == "") continue
        printf "  %-18s %-5s %11s %11s %11s %9s %9s\n", g, unit[g], fmt(t), fmt(s), fmt(q),
               better(t, s, unit[g]), better(t, q, unit[g])
      }
      printf "%s", note[kind FS size]
    }
    print ""
    print "vs sci, vs qpte: how many times better Tarvex does (time, memory: baseline / tarvex;"
    print "throughput: tarvex / baseline). Best of the repeated runs; MB = 2^20 bytes."
  }' "$best"
