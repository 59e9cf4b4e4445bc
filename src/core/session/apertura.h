#pragma once
// Opening the user database and its auxiliary database (the globals BDUsuario, BDAuxiliar).

#include <filesystem>
#include <string>

#include "core/engine/database.h"
#include "core/shell/directorio.h"  // EsBaseAuxiliar

namespace veliora {

// Opens `ruta` as the user database into BDUsuario; an Access file opens as its conversion
// (access::Preparar), and the Access file is then kept from being written over while it stays
// open. Returns 0 or the engine error number; on failure BDUsuario keeps what it held.
int AbrirBDUsuario(const std::string& ruta, engine::Error* error = nullptr);
// Finds the auxiliary database of a user database file name (application directory,
// name + "_"), copying the template bdaux.db when missing, and opens it into BDAuxiliar.
int AbrirBDAuxiliar(const std::string& nombreArchivo, engine::Error* error = nullptr);
// Path of the auxiliary database of a user database file name.
std::filesystem::path RutaBDAuxiliar(const std::string& nombreArchivo);
// The help page of the open database: BDAuxiliar's name without its last four characters,
// plus "htm" (alumnos.mdb_ -> alumnos.htm); for a user file whose extension is not three
// letters long, its extension replaced by "htm" (tienda.db_ -> tienda.htm). Empty when no
// auxiliary database is open.
std::filesystem::path RutaAyudaBD();

}  // namespace veliora
