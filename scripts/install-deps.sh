#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and benchmarking
# Tarvex need. Idempotent: apt-get runs only when something is missing.
#
#   scripts/install-deps.sh          what the build, the program and the tests need
#   scripts/install-deps.sh bench    also what only the benchmarks use (geany,
#                                    the black-box check's baseline)
#   scripts/install-deps.sh fuzz     also clang and its libFuzzer runtime (scripts/fuzz.sh)
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-qpa-plugins
  libgtest-dev libgmock-dev
  libqscintilla2-qt6-dev
  fonts-dejavu-core fonts-liberation
  xvfb xauth xdotool
  libpcre2-dev libicu-dev qt6-translations-l10n
  libhunspell-1.7-0 libaspell15 hunspell-ru hunspell-en-us aspell-ru aspell-en
  poppler-utils unrtf
  desktop-file-utils appstream
)
if [ "${1:-}" = bench ]; then
  packages+=(geany hunspell time enscript ghostscript libreoffice-writer-nogui)
fi
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
# Work trees on one machine may run this at once: apt takes turns.
lock=()
if command -v flock >/dev/null; then lock=(flock /tmp/tarvex-apt.lock); fi
$SUDO "${lock[@]}" apt-get update -qq
$SUDO "${lock[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
