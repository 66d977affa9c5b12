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

# The engine's tests once more on each vector path this CPU has, forced (the run above took
# the best one); a path the CPU lacks is left out.
for path in sse2 avx2 avx512; do
  case $path in
  avx2) grep -qw avx2 /proc/cpuinfo || continue ;;
  avx512) for flag in avx512f avx512vl avx512dq; do grep -qw $flag /proc/cpuinfo || continue 2; done ;;
  esac
  for suite in build/tests/dsp/vt_dsp_tests build/tests/plugin/vt_strip_tests; do
    VELTRANE_SIMD=$path XDG_CONFIG_HOME="$PWD/build/test-config" $suite --gtest_brief=1
  done
done

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANE_TSAN=ON -DVELTRANE_BENCH=OFF
cmake --build build-tsan --target plugin_thread_test editor_thread_test tools_editor_cycles_test
TSAN_OPTIONS="halt_on_error=1" ctest --test-dir build-tsan \
  -R '^(VeltraneThreads|ADEditorThreads|Plugins/EditorCycles)\.' --output-on-failure

./scripts/fuzz.sh
