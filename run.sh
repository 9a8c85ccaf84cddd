#!/usr/bin/env bash
# Installs what is missing, builds Tarvex (Release) and opens FILE in the
# editor, or the bundled readme without one.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build/release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build/release" -j"$(nproc)" --target tarvex >&2
if [ $# -eq 0 ]; then set -- "$here/Tarvex Readme.txt"; fi
# The heap in huge pages (README, "Memory"), set here so that the program
# need not restart itself for it.
case "${GLIBC_TUNABLES:-}" in
  *glibc.malloc.hugetlb*) ;;
  *) [ -n "${TARVEX_NO_HUGE_PAGES:-}" ] || export GLIBC_TUNABLES="${GLIBC_TUNABLES:+$GLIBC_TUNABLES:}glibc.malloc.hugetlb=1" ;;
esac
exec "$here/build/release/app/tarvex" "$@"
