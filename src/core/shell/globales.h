#pragma once
// The state every window shares: the two open databases, teacher mode (the language offset
// is the string table's, core/base/textos.h).

#include <memory>

#include "core/base/textos.h"
#include "core/engine/database.h"

namespace veliora {

// The user's database and its auxiliary database; windows keep their own reference, so a
// window loaded before another database was opened keeps working on the previous one.
extern std::shared_ptr<engine::Database> BDUsuario;
extern std::shared_ptr<engine::Database> BDAuxiliar;
// Teacher mode, decided once at start-up by the login.
extern bool ModoProfesor;

}  // namespace veliora
