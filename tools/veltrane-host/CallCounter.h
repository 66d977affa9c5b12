#pragma once

// Counts, on the thread that asks, the calls a real-time thread must not make: heap
// allocations and frees (malloc, calloc, realloc, operator new and delete, which end in them)
// and pthread_mutex_lock. The counting itself needs hooks in the host executable
// (CallInterposer.cpp); a program without them counts nothing and says so.
class CallCounter {
 public:
  struct Counts {
    long allocations = 0;
    long frees = 0;
    long mutexLocks = 0;
  };

  // Whether this executable has the hooks.
  static bool available();
  static const char* method();  // how the calls are caught, for reports

  // Counts this thread's calls while it lives.
  class Scope {
   public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
  };
  // The host's own work on a counted thread (answering the plug-in's callback) is not the
  // plug-in's: it is not counted.
  class HostWork {
   public:
    HostWork();
    ~HostWork();
    HostWork(const HostWork&) = delete;
    HostWork& operator=(const HostWork&) = delete;
  };

  // What this thread counted so far; and back to zero.
  static Counts counts();
  static void reset();

  // For the hooks.
  static void install(const char* method);
  static void noteAllocation();
  static void noteFree();
  static void noteMutexLock();
};
