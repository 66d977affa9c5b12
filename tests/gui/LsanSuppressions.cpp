// fontconfig keeps its font caches for the life of the process; they are not our leaks.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
