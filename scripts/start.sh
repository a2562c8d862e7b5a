#!/usr/bin/env bash
# Installs what is missing, builds, creates a fresh database when there is none, starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
bin=build/bin
[ -f "$bin/wms.db" ] || [ -f "$bin/linkDB.ini" ] || "$bin/wms-createdb" "$bin"
exec "$bin/wms"
