#!/usr/bin/env bash
# Configures and builds into build/ (the program folder is build/bin). Starting
# the program and running the tests build with these same options, so neither
# undoes the other's build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWMS_WERROR=ON "$@" >/dev/null
cmake --build build -j "$(nproc)"
