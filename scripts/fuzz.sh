#!/usr/bin/env bash
# Builds the import parsers' libFuzzer targets with clang and fuzzes each in
# turn, one process at a time, at low priority.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]     (default 600; html rtf tcr doc)
#
# Each target starts from its committed seeds (tests/tools/corpus/TARGET) and
# grows a working corpus in build/fuzz/corpus/TARGET. Crashing inputs land in
# build/fuzz/artifacts/TARGET/; copy them to tests/tools/corpus/TARGET/ as
# found-NAME once fixed, so that every test run checks them again.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(html rtf tcr doc)
build="$root/build/fuzz"
"$root/scripts/install-deps.sh" fuzz || exit 1

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DFUZZ=ON -DTARVEX_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
flock /tmp/tarvex-build.lock cmake --build "$build" -j2 \
    $(printf -- '--target tarvex_fuzz_%s ' "${targets[@]}") >/dev/null || exit 1

status=0
for t in "${targets[@]}"; do
    mkdir -p "$build/corpus/$t" "$build/artifacts/$t"
    case "$t" in
        tcr) max_len=4096 ;;
        doc) max_len=8192 ;;
        *) max_len=16384 ;;
    esac
    echo "== $t: ${seconds}s" >&2
    nice -n 10 "$build/tests/tools/tarvex_fuzz_$t" \
        -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/artifacts/$t/" -print_final_stats=1 \
        "$build/corpus/$t" "$root/tests/tools/corpus/$t" || status=1
done
exit $status
