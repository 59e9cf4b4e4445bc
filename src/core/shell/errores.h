#pragma once
// The texts of the core's errors, made where they are shown: the description in the
// interface's language and the number shown beside it.

#include <string>

#include "core/engine/error.h"

namespace veliora {

// The error's description: the engine's or the system's own message where the failure is
// theirs, the string table's text of its code otherwise, naming what it names.
std::string TextoDeError(const engine::Error& error);

// The number shown with it: the engine's result code or the system's number where the
// failure is theirs, a fixed number per code otherwise (the engine's numbering: 9 a time
// limit, 23 a refused statement, 14 a file that cannot be opened...). 0 for no error.
int NumeroDeError(const engine::Error& error);

}  // namespace veliora
