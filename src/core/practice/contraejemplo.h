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
// Database::OpenMemoryCopy), then on variants of that copy, one at a time, most telling
// first: all the data twice under new keys (every group, name and top value gets a twin),
// a table's rows twice, two rows with the same name under two keys, ties at the top and the
// bottom of a column, nulls, values near the literals the statements compare with (the
// edges of the days, months and years they name, texts a pattern matches and just misses),
// numbers that tell aggregates apart (a row fewer with one more unit in another: averages
// that no longer divide), one value in every row, other letter case, a table emptied. When the
// solution's result says nothing on this data (no rows, or only zeros and nulls), rows joined as
// each statement joins them are first given values inside its conditions, and every variant runs on
// top of them. Every variant keeps the copy's schema (CopiaRestringida), so a statement equivalent
// to the solution gives its result on each. The first variant on which the results differ is
// returned; nothing when none does before `presupuesto` runs out. The user's file is only read.
std::optional<Contraejemplo> BuscarContraejemplo(engine::Database& usuario,
                                                 std::string_view solucion,
                                                 std::string_view respuesta,
                                                 std::chrono::milliseconds presupuesto);

}  // namespace veliora
