#!/usr/bin/env bash
# Installs what is missing, builds Quillory (release) and launches it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLORY_TESTS=OFF
cmake --build build/release
exec build/release/src/quillory "$@"
