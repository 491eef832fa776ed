#!/usr/bin/env bash
# Installs the Debian 12 packages the program needs to build, run and be tested.
# Idempotent and quick when everything is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite
  libzip-dev libjpeg62-turbo-dev libsqlite3-dev libx11-dev libcups2-dev libchm-dev fp-utils
  fonts-dejavu-core qt6-translations-l10n
)
if [[ "${1:-}" == "--test" ]]; then
  # Benchmarks, PDF inspection, a local CUPS queue for printing tests, fuzzing, a private
  # session bus for the keyboard tests.
  # cups-filters carries the vendor driver files the private CUPS server's queues use.
  packages+=(libbenchmark-dev poppler-utils unzip cups cups-filters printer-driver-cups-pdf
             clang libclang-rt-14-dev xvfb xauth x11-xkb-utils desktop-file-utils appstream
             dbus-daemon)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
