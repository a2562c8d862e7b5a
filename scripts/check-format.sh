#!/usr/bin/env bash
# Fails when a tracked C++ file is not formatted with the project's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
format=clang-format-14
command -v "$format" >/dev/null || format=clang-format
git ls-files -z '*.cpp' '*.h' | xargs -0 "$format" --dry-run -Werror
