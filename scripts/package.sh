#!/usr/bin/env bash
# Builds the Debian package of Tarvex (Release) and prints its path.
#
#   scripts/package.sh [OUTDIR]     default OUTDIR: build/package
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/build/package}"
"$root/scripts/install-deps.sh"
build="$root/build/package-build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVEX_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tarvex tarvex-cli >&2
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >&2)
ls "$out"/tarvex_*.deb
