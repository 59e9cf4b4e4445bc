#pragma once
// Right only on this data: looks for a small database, derived from the user's, on which an
// answer judged right gives another result than the solution.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/database.h"

namespace veliora {

// Rows of a result shown as an example, with its column headers.
struct FilasEjemplo {
    std::vector<std::string> columnas;
    std::vector<std::vector<engine::Value>> filas;
};

struct Contraejemplo {
    std::string cambio;                // what the variant changed, in the interface's language
    FilasEjemplo respuesta, solucion;  // the first rows of each result on the variant
};

// Rows shown of each result of a counterexample.
inline constexpr std::size_t kFilasContraejemplo = 5;

// Runs both statements on in-memory copies of the tables they read (see
// Database::OpenMemoryCopy), then on variants of that copy, one at a time: every row
// duplicated but for its keys, nulls in the columns they use, values just below, at and
// just above the literals they compare with, other letter case in texts, a table emptied.
// Every variant keeps the copy's declared constraints, so a statement equivalent to the
// solution gives its result on each. The first variant on which the results differ is
// returned; nothing when none does before `presupuesto` runs out. The user's file is only
// read.
std::optional<Contraejemplo> BuscarContraejemplo(engine::Database& usuario,
                                                 std::string_view solucion,
                                                 std::string_view respuesta,
                                                 std::chrono::milliseconds presupuesto);

}  // namespace veliora
