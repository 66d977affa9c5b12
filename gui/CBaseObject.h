#pragma once

#include <cstdint>
#include <memory>

enum CMessageResult {
  kMessageUnknown = 0,
  kMessageNotified = 1,
};

// Reference-counted base of bitmaps, fonts and views. A new object holds one reference owned
// by its creator; forget() on the last reference deletes it. GUI thread only.
class CBaseObject {
 public:
  CBaseObject() = default;
  CBaseObject(const CBaseObject&) {}
  CBaseObject& operator=(const CBaseObject&) = delete;
  virtual ~CBaseObject() = default;

  void remember() { ++nbReference; }
  void forget() {
    if (--nbReference == 0) delete this;
  }
  int32_t getNbReference() const { return nbReference; }

  virtual CMessageResult notify(CBaseObject* /*sender*/, const char* /*message*/) {
    return kMessageUnknown;
  }

 private:
  int32_t nbReference = 1;
};

// Holds one reference for a scope, so an object survives a call that may release it.
class CBaseObjectGuard {
 public:
  explicit CBaseObjectGuard(CBaseObject* o) : object(o) {
    if (object) object->remember();
  }
  ~CBaseObjectGuard() {
    if (object) object->forget();
  }
  CBaseObjectGuard(const CBaseObjectGuard&) = delete;
  CBaseObjectGuard& operator=(const CBaseObjectGuard&) = delete;

 private:
  CBaseObject* object;
};

// Releases the creator's reference when a scope ends; others that remembered the object keep it.
struct CBaseObjectForget {
  void operator()(CBaseObject* object) const {
    if (object) object->forget();
  }
};
template <class T>
using OwningPointer = std::unique_ptr<T, CBaseObjectForget>;
