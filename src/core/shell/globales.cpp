#include "core/shell/globales.h"

namespace veliora {

std::shared_ptr<engine::Database> BDUsuario;
std::shared_ptr<engine::Database> BDAuxiliar;
bool ModoProfesor = false;

}  // namespace veliora
