#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program on the bundled data/.
# The program looks for data/ below the current directory, so it runs from the repository root.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target paternity-index

exec ./build/src/app/paternity-index "$@"
