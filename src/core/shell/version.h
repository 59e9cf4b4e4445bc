#pragma once
// The program's version, set once in the build (project version) and shown by every program.

#include <string_view>

namespace veliora {

// Major "." minor "." revision, e.g. "1.0.0".
std::string_view VersionPrograma();

}  // namespace veliora
