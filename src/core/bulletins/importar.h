#pragma once
// Bringing a teacher's bulletins into the application directory: every regular, visible
// file of a folder is copied in, safely.

#include <filesystem>
#include <functional>
#include <string>

#include "core/engine/database.h"

namespace veliora {

enum class Sustituir { Si, No, SiATodos };

struct ResultadoImportacion {
    bool listado = true;  // false: the folder could not be read, nothing was copied
    engine::Error errorListado;
    int copiados = 0;
    int fallidos = 0;
    int omitidos = 0;  // the user chose not to replace them
};

struct AvisosImportacion {
    // Asked before replacing an auxiliary database whose bulletins differ from the incoming
    // file's. Without it, such files are left alone (counted as omitted).
    std::function<Sustituir(const std::string& archivo)> preguntar;
    // Told of each file that could not be copied; the import goes on with the next.
    std::function<void(const std::string& archivo, const engine::Error&)> fallo;
};

// Files the import never replaces: the settings, the template and the help pages.
bool ArchivoPropio(const std::string& nombre);

// Copies the regular, non-hidden files of `origen` (no subfolders, in name order) into
// `destino`. Each file goes through a temporary name and is renamed over its destination;
// a read-only destination file is reported and left as it is. `abierta`, when given, is
// the auxiliary database open now: a file that would replace it is loaded into the open
// connection instead of being swapped under it.
ResultadoImportacion ImportarBoletines(const std::filesystem::path& origen,
                                       const std::filesystem::path& destino,
                                       const AvisosImportacion& avisos,
                                       engine::Database* abierta = nullptr);

}  // namespace veliora
