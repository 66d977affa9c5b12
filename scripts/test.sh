#!/bin/sh
# Builds the plug-in and runs every test suite.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
ctest --test-dir build --output-on-failure -j2
# Every parser of stored or host-supplied data under libFuzzer with ASan and UBSan.
./scripts/fuzz.sh
