#pragma once
// Opening the user database and its auxiliary database (held by the application object,
// core/app).

#include <filesystem>
#include <memory>
#include <string>

#include "core/engine/database.h"
#include "core/shell/directorio.h"  // EsBaseAuxiliar
#include "core/shell/salidas.h"

namespace veliora {

// Opens `ruta` as the user database into `bd`; an Access file opens as its conversion
// (access::Preparar), and `origen` then keeps the Access file from being written over while
// it stays open. Returns 0 or the engine error number; on failure `bd` and `origen` keep
// what they held.
int AbrirBDUsuario(const std::string& ruta, std::shared_ptr<engine::Database>& bd,
                   std::unique_ptr<ArchivoProtegido>& origen, engine::Error* error = nullptr);
// Finds the auxiliary database of a user database file name (application directory,
// name + "_"), copying the template bdaux.db when missing, and opens it into `bd`; never the
// open user database `usuario` under another name. On failure `bd` keeps what it held.
int AbrirBDAuxiliar(const std::string& nombreArchivo, const engine::Database* usuario,
                    std::shared_ptr<engine::Database>& bd, engine::Error* error = nullptr);
// Path of the auxiliary database of a user database file name.
std::filesystem::path RutaBDAuxiliar(const std::string& nombreArchivo);
// The help page of the open database: the auxiliary's name without its last four characters,
// plus "htm" (alumnos.mdb_ -> alumnos.htm); for a user file whose extension is not three
// letters long, its extension replaced by "htm" (tienda.db_ -> tienda.htm). Empty when no
// auxiliary database is open.
std::filesystem::path RutaAyudaBD(const engine::Database* auxiliar);

}  // namespace veliora
