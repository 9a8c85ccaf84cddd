#!/usr/bin/env bash
# Prints the path of a generated test file, generating it first when missing.
#
#   bench/common/data.sh KIND SIZE_MB      KIND: prose, log or longlines; 1 MB = 2^20 bytes
#
# Files live in $TARVEX_BENCH_DATA (default bench/data) and are named by the
# generator's version, so a changed generator never reuses stale files. The
# generator comes from $TARVEX_BUILD (default build/release); bench/run.sh builds it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
if [ $# -ne 2 ]; then
  echo "usage: bench/common/data.sh prose|log|longlines SIZE_MB" >&2
  exit 2
fi
kind="$1"
size="$2"
case "$kind" in prose|log|longlines) ;; *) echo "data.sh: unknown kind \"$kind\"" >&2; exit 2 ;; esac
[[ "$size" =~ ^[0-9]+$ ]] || { echo "data.sh: size must be whole MB, not \"$size\"" >&2; exit 2; }

build="${TARVEX_BUILD:-$root/build/release}"
data="${TARVEX_BENCH_DATA:-$root/bench/data}"
gen="$build/bench/common/tarvex-bench-gen"
if [ ! -x "$gen" ]; then
  echo "data.sh: $gen is missing; build first (bench/run.sh does)" >&2
  exit 1
fi
version="$("$gen" --version)"
mkdir -p "$data"
file="$data/$kind-${size}mb.v$version.txt"
if [ ! -f "$file" ]; then
  # Leave room for the file, one saved copy of it and a margin.
  need_kb=$(( size * 1024 * 2 + 512 * 1024 ))
  free_kb="$(df -Pk "$data" | awk 'NR == 2 { print $4 }')"
  if [ "$free_kb" -lt "$need_kb" ]; then
    echo "data.sh: not enough disk space in $data for $kind $size MB (need $((need_kb / 1024)) MB, have $((free_kb / 1024)) MB)" >&2
    exit 1
  fi
  # Older versions of the same file are dead weight.
  rm -f "$data/$kind-${size}mb.v"*.txt
  echo "data.sh: generating $file" >&2
  "$gen" "$kind" "$size" "$file.part"
  mv "$file.part" "$file"
fi
echo "$file"
