#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program from the data folder (created
# with an empty database on first use). The user guide is placed beside the database so
# that the help item finds it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DNILO_BUILD_TESTS=OFF -DNILO_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-release" --target NiloChequePrint nilocheque
data="${NILO_DATA_DIR:-$root/data}"
mkdir -p "$data"
[[ -f "$data/NiloChequePrint.mdb" ]] || "$root/build-release/nilocheque" init-db "$data/NiloChequePrint.mdb"
[[ -f "$root/build-release/NiloChequePrint.chm" ]] && cp -f "$root/build-release/NiloChequePrint.chm" "$data/"
cd "$data"
exec "$root/build-release/NiloChequePrint"
