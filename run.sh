#!/usr/bin/env bash
# Installs what is missing, builds Tarvex (Release) and opens FILE, or the
# bundled readme without one.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build/release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build/release" -j"$(nproc)" --target tarvex-cli >&2
file="${1:-$here/Tarvex Readme.txt}"
exec "$here/build/release/cli/tarvex-cli" stats "$file"
