#pragma once
// The application directory: one writable folder for auxiliary databases, the template,
// help pages, exports, imports and settings.

#include <filesystem>

#include "core/engine/database.h"

namespace veliora {

// $VELIORA_HOME when set, else the per-user application data folder; created when missing.
std::filesystem::path DirectorioAplicacion();
// Overrides the application directory (command-line --home, tests); an empty path drops
// the override.
void FijarDirectorioAplicacion(const std::filesystem::path& dir);
// The folder of Access conversions: importadas/ in the application directory.
std::filesystem::path CarpetaConversiones();
// Whether the file is an auxiliary database: a SQLite database with the five tables and the
// columns the program reads and writes (read only, never changed).
bool EsBaseAuxiliar(const std::filesystem::path& ruta);
// Whether the open database has those five tables and columns. A file without them (empty,
// corrupt, some other database) is refused rather than used, and left exactly as it is: it
// may still hold a teacher's bulletins.
bool TieneEstructuraAuxiliar(engine::Database& bd, engine::Error& err);
// Folder of the installed read-only resources (template, help pages, samples):
// $VELIORA_RESOURCES, else beside the program (../share/veliora), else the build tree.
std::filesystem::path DirectorioRecursos();
// One of the program's helper programs (veliora-mdb, veliora-cli-graficos): beside the
// program in the build tree; installed, in the program's private folder. Empty when none is
// found that can be run.
std::filesystem::path RutaAyudante(const char* nombre);
// Copies into the application directory what it lacks: the template bdaux.db, the help
// pages, and the sample databases' auxiliary databases and help pages. Never overwrites.
void SembrarDirectorioAplicacion();

}  // namespace veliora
