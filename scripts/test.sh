#!/bin/sh
# Builds the plug-in and runs every test suite; then the threading tests (the effect's, the
# open editor window's, and a host opening and closing the real plug-in's window while audio
# runs) once more under ThreadSanitizer (a separate build of only what those tests need), and
# every parser of stored or host-supplied data under libFuzzer with AddressSanitizer and UBSan.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
ctest --test-dir build --output-on-failure -j2

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANE_TSAN=ON -DVELTRANE_BENCH=OFF
cmake --build build-tsan --target plugin_thread_test editor_thread_test tools_editor_cycles_test
TSAN_OPTIONS="halt_on_error=1" ctest --test-dir build-tsan \
  -R '^(VeltraneThreads|ADEditorThreads|Plugins/EditorCycles)\.' --output-on-failure

./scripts/fuzz.sh
