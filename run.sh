#!/usr/bin/env bash
# Installs what is missing, builds Tarvex (Release) and opens FILE in the
# editor, or the bundled readme without one.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build/release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build/release" -j"$(nproc)" --target tarvex >&2
if [ $# -eq 0 ]; then set -- "$here/Tarvex Readme.txt"; fi
exec "$here/build/release/app/tarvex" "$@"
