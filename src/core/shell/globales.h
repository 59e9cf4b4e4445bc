#pragma once
// The state every window shares: language offset, the two open databases, teacher mode.

#include <cstdint>
#include <memory>

#include "core/engine/database.h"

namespace veliora {

// Added to every string id: 0 Spanish, 10000 Valencian. Set once at start-up.
extern std::int32_t DesplazamientoIdioma;
// The user's database and its auxiliary database; windows keep their own reference, so a
// window loaded before another database was opened keeps working on the previous one.
extern std::shared_ptr<engine::Database> BDUsuario;
extern std::shared_ptr<engine::Database> BDAuxiliar;
// Teacher mode, decided once at start-up by the login.
extern bool ModoProfesor;

}  // namespace veliora
