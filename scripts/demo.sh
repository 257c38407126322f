#!/usr/bin/env bash
# Builds Vireka, installs the demo knowledge base in the settings and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2
if [ -x build/tools/vireka-setup ] && [ -d build/demo ]; then
    build/tools/vireka-setup --data "$PWD/build/demo" --program "$PWD/build"
fi
exec build/src/app/vireka "$@"
