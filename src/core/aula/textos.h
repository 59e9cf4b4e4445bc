#pragma once
// The class's failures in the interface's language.

#include <string>

#include "core/aula/error.h"

namespace veliora::aula {

// One line: the failure's text and, where it helps, the store's or the system's own words.
std::string ExplicarFallo(const Error& error);

}  // namespace veliora::aula
