#pragma once
// The application directory: one writable folder for auxiliary databases, the template,
// help pages, exports, imports and settings.

#include <filesystem>

namespace veliora {

// $VELIORA_HOME when set, else the per-user application data folder; created when missing.
std::filesystem::path DirectorioAplicacion();
// Overrides the application directory (command-line --home, tests); an empty path drops
// the override.
void FijarDirectorioAplicacion(const std::filesystem::path& dir);
// The folder of Access conversions: importadas/ in the application directory.
std::filesystem::path CarpetaConversiones();
// Folder of the installed read-only resources (template, help pages, samples):
// $VELIORA_RESOURCES, else beside the program (../share/veliora), else the build tree.
std::filesystem::path DirectorioRecursos();
// Copies into the application directory what it lacks: the template bdaux.db, the help
// pages, and the sample databases' auxiliary databases and help pages. Never overwrites.
void SembrarDirectorioAplicacion();

}  // namespace veliora
