#pragma once
// Microsoft Access files (.mdb, .accdb) as SQLite databases. The file is read by the
// helper program veliora-mdb (mdbtools) and written as a SQLite database with the same
// tables, columns, keys, indexes, relationships and rows. The Access file is only read.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/database.h"

namespace veliora::access {

// Rows converted so far and rows in all; returns false to cancel the conversion.
using Progreso = std::function<bool(long long hechas, long long total)>;

struct TablaConvertida {
    std::string nombre;
    long long filas = 0;
    long long catalogo = -1;         // rows the Access file's catalog gives; -1 unknown
    std::vector<std::string> notas;  // columns left out, rows that could not be read...
    bool convertida = true;          // false: the table is missing from the result
};

struct Conversion {
    std::filesystem::path destino;  // the SQLite database
    std::vector<TablaConvertida> tablas;
    int relaciones = 0;
    std::vector<std::string> notas;  // relationships left out
    bool reutilizada = false;        // an earlier conversion of the unchanged file served (its
                                     // summary as recorded then)
    // False when rows are missing: a table has fewer rows than the catalog gives, or could
    // not be converted. The database still opens; its tables' notes say what was lost.
    bool completa = true;

    long long Filas() const;
    int TablasConvertidas() const;
};

// Whether the path names an Access file: an existing file with the Jet or ACE signature, or
// named .mdb or .accdb (letter case ignored) without being a SQLite database.
bool EsArchivoAccess(const std::filesystem::path& ruta);

// Converts `mdb` into the SQLite database `destino`, a new file or an ordinary one the
// user chose: a database, the Access file itself or a file the program uses is refused
// (ComprobarDestino, core/shell/salidas.h). The database is written under a temporary name
// and renamed at the end: a failed or cancelled conversion leaves nothing behind. On failure
// `error` holds the reason (number SQLITE_CANTOPEN for an unreadable file, SQLITE_INTERRUPT
// when cancelled, the refusal's number for a destination refused).
bool Convertir(const std::filesystem::path& mdb, const std::filesystem::path& destino,
               Conversion& resultado, engine::Error& error, const Progreso& progreso = {});

// Turns the reader's output (the lines veliora-mdb writes) into the SQLite database at
// `destino` (":memory:" too), as a conversion does with the reader running. False, with the
// reason, when the output ends before its last line or the database cannot be written.
bool ConvertirSalidaLector(std::string_view salida, const std::string& destino,
                           Conversion& resultado, engine::Error& error);

// Whether a failed conversion was cancelled through its Progreso.
bool Cancelada(const engine::Error& error);

// Where the conversion of `mdb` lives in the folder of conversions `carpeta` (the
// application directory's importadas/, CarpetaConversiones): <name>.db.
std::filesystem::path RutaConvertida(const std::filesystem::path& carpeta,
                                     const std::filesystem::path& mdb);

// The converted database of `mdb` in `carpeta`, converting it when there is none yet, when the file
// changed since (size, modification time, content hash), or when the earlier conversion no
// longer opens with its tables. Temporary files of conversions that were killed are removed.
bool Preparar(const std::filesystem::path& mdb, const std::filesystem::path& carpeta,
              Conversion& resultado, engine::Error& error, const Progreso& progreso = {});

// A stored Access date (days since 1899-12-30, the time as the fraction, of the same sign
// before that day) as ISO text: "yyyy-mm-dd", with " hh:mm:ss" unless at midnight. Only for
// day counts of the years Access holds (100 to 9999), which EsFechaAccess tells.
bool EsFechaAccess(double dias);
std::string FechaIso(double dias);

// The helper program, or an empty path when it cannot be found: $VELIORA_MDB, beside the
// running program, the build tree, the installed programs.
std::filesystem::path RutaLector();

}  // namespace veliora::access
