#!/usr/bin/env bash
# The calculator benchmark: 100,000 generated expressions of 20 to 200
# characters parsed and evaluated as the calculate command does, and one
# parsed tree evaluated a million times with changing variables. The targets
# are under 0.5 s for the expressions and 10 million nodes a second; the
# *_target_ratio figures are how many times better than the target a run is.
# Reads TARVEX_BUILD and TARVEX_OUT (see bench/run.sh); no test files.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=0
. "$root/bench/common/setup.sh"
"$TARVEX_BUILD/bench/calc/tarvex-bench-calc" >> "$raw"
print_figures
awk -F'\t' '{ v[$1] = $4 }
  END { printf "calc: 100,000 expressions in %.3g s (target 0.5 s: %.1f times better); one tree at %.1f million nodes/s (target 10: %.1f times)\n",
               v["calc_parse_eval_time"], v["calc_parse_eval_target_ratio"], v["calc_eval_node_rate"], v["calc_eval_target_ratio"] }' "$raw"
