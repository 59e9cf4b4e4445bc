#pragma once
// The files of the class on the student's machine and the teacher's: the published database
// read as bytes, downloads written safely, the membership kept private.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/aula/almacen.h"

namespace veliora::engine {
class Database;
}

namespace veliora::aula {

// Writes `bytes` to a new file in `destino`'s folder with `permisos`, flushed to disk, then
// renamed over `destino`. Never writes through a symbolic link: Archivo when `destino` is
// one.
bool EscribirArchivo(const std::filesystem::path& destino, std::string_view bytes,
                     std::filesystem::perms permisos, Error& error);

// The material of a database file and its auxiliary database (absent: published without
// one), under `nombre`. The auxiliary database is read while no one may write it; the
// database must be a SQLite file with no pending log of another program's writes.
std::optional<Material> LeerMaterial(const std::filesystem::path& bd,
                                     const std::filesystem::path& aux, const std::string& nombre,
                                     Error& error);

// A published file name as a plain name of a database file ("tienda.db"): no folders, no
// leading dot, one of the extensions the program opens. Nombre otherwise.
bool NombrePublicable(const std::string& nombre, Error& error);

// Checks the downloaded bytes against their hashes (HashDistinto) and writes the database
// to `bd` and the auxiliary database, when published, to `aux`. Nothing is written when a
// hash differs. `abierta`, when given, is the auxiliary database open now: when it is `aux`,
// the download is loaded into it instead of being swapped under it.
bool GuardarMaterial(const Material& material, const std::filesystem::path& bd,
                     const std::filesystem::path& aux, Error& error,
                     engine::Database* abierta = nullptr);

}  // namespace veliora::aula
