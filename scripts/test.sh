#!/bin/sh
# Builds the plug-in and runs every test suite, the engine's once more on each vector path the CPU
# has; then all of them once more under AddressSanitizer and UBSan, with leak checking (build-asan);
# the threading tests (the effect's, the open editor window's, a host opening and closing the real
# plug-in's window while audio runs, an LV2 host restoring state while run goes on) under
# ThreadSanitizer (a separate build of only what those tests need); then `veltrane-host validate`
# against the release plug-in and against the AddressSanitizer + UBSan and ThreadSanitizer builds of
# plug-in and host; and every parser of stored or host-supplied data under libFuzzer with
# AddressSanitizer and UBSan.
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

# Faults a Release build survives by luck (a pointer a closed editor forgets to clear) stop the
# run here. Everything is built, so the sanitized plug-in and host are at hand; no benchmarks,
# the product at -O1 and the tests unoptimised, which keeps the build short.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O1 \
  -DCMAKE_C_FLAGS_DEBUG=-O1 -DVELTRANE_ASAN=ON -DVELTRANE_BENCH=OFF
cmake --build build-asan
UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j2

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANE_TSAN=ON -DVELTRANE_BENCH=OFF
cmake --build build-tsan --target plugin_thread_test editor_thread_test tools_veltrane_editor_test \
  lv2_host_test
TSAN_OPTIONS="halt_on_error=1" ctest --test-dir build-tsan \
  -R '^(VeltraneThreads|ADEditorThreads|EditorCycles|Lv2Threads)\.' --output-on-failure

# The validator runs on a private X server, so that the editor is checked too, and the plug-in
# keeps its preferences in the build folder. A sanitized plug-in is loaded by a host built with
# the same sanitizer; a sanitizer's report ends the check's process, which fails the check.
validate() {
  dir=$1
  shift
  XDG_CONFIG_HOME="$PWD/$dir/validate-config" xvfb-run -a -s "-nolisten tcp" \
    "$dir/veltrane-host" validate "$dir/Veltrane.so" "$@"
}
validate build
validate build-asan
cmake --build build-tsan --target Veltrane veltrane-host
TSAN_OPTIONS="halt_on_error=1" validate build-tsan

./scripts/fuzz.sh
