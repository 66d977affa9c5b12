// The committed pictures were drawn with Liberation Sans. Fontconfig would silently substitute
// another family on a machine without it, and every legend would shift; the generator refuses
// to run then.
#pragma once

#include <string>

namespace vtgen {

// The family fontconfig actually picks for `family` (empty if it picks nothing).
std::string resolvedFontFamily(const char* family);

}  // namespace vtgen
