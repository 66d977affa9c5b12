// In a build with AddressSanitizer each check's process ends with a leak check. fontconfig
// keeps its font caches for the life of the process (an editor loads them); they are not the
// plug-in's leaks.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
