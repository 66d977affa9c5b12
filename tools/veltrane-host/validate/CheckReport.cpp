#include "validate/CheckReport.h"

#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>

void CheckReport::step(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(progress_.text, sizeof progress_.text, format, arguments);
  va_end(arguments);
  progress_.steps.fetch_add(1, std::memory_order_release);
}

void CheckReport::fail(const std::string& detail) {
  ++failures_;
  if (failures_ < kFailuresShown) {
    send("FAIL", detail);
  } else if (failures_ == kFailuresShown) {
    send("FAIL", "(more failures not shown) " + detail);
  }
}

void CheckReport::send(const char* kind, const std::string& text) {
  std::string line = std::string(kind) + " " + text;
  for (char& c : line)
    if (c == '\n') c = ' ';
  line += '\n';
  // Straight to the pipe: nothing may sit in a buffer when the plug-in crashes the process.
  for (std::size_t done = 0; done < line.size();) {
    const ssize_t n = write(pipe_, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

std::string formatted(const char* format, ...) {
  char text[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}
