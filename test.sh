#!/usr/bin/env bash
# Installs what is missing, builds every test (with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs them with CTest.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVEX_SANITIZE=ON -DTARVEX_BENCH=OFF >/dev/null
cmake --build build/test -j"$jobs"
cd build/test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" "$@"
