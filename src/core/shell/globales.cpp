#include "core/shell/globales.h"

namespace veliora {

std::int32_t DesplazamientoIdioma = 0;
std::shared_ptr<engine::Database> BDUsuario;
std::shared_ptr<engine::Database> BDAuxiliar;
bool ModoProfesor = false;

}  // namespace veliora
