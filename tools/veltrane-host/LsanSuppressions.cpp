// In a build with AddressSanitizer each check's process ends with a leak check. fontconfig
// keeps its font caches for the life of the process (an editor loads them); they are not the
// plug-in's leaks.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

// Standard error is the host's report to its user; a list of suppressions used would end each
// check's output with noise.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_options() {
  return "print_suppressions=0";
}
