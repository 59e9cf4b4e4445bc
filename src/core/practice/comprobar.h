#pragma once
// Answer checking: runs the solution and the student's answer on the user database and
// compares the two results.

#include <string>
#include <string_view>

#include "core/engine/database.h"

namespace veliora {

enum class Veredicto {
    Correcto,           // same rows, in the given order or once both are sorted
    Erroneo,            // the results differ
    SolucionInvalida,   // the solution could not be run to its end: nothing can be judged
    RespuestaInvalida,  // the answer was refused, failed or was interrupted
};

struct ResultadoComprobacion {
    Veredicto veredicto = Veredicto::Erroneo;
    // The message the practice window shows, from the string table in the current language.
    std::string mensaje;
    // The engine's error when the verdict is SolucionInvalida or RespuestaInvalida.
    engine::EngineError error;
};

// Judges `respuesta` against `solucion` on `usuario`, which must be a user database: both
// statements pass its guard (read only, one statement, time limit), so the file is never
// written. Results are compared column by column by position, values by type (1 equals
// 1.0, texts exactly, a null only matches a null): first in the order the statements give,
// then with both results sorted on all their columns. Statements are run as given, so an
// answer with its own order clause, limit or trailing comment is judged on its rows.
ResultadoComprobacion ComprobarRespuesta(engine::Database& usuario, std::string_view solucion,
                                         std::string_view respuesta);

// The message of a verdict (1118 + CRLF + 1119, 1120, 1116 or 1117).
std::string MensajeVeredicto(Veredicto veredicto);

// The two comparisons on results already fetched to their end (MoveLast). True when both
// have the same shape and the same rows, in order or as sorted multisets.
bool MismosResultados(const engine::Recordset& respuesta, const engine::Recordset& solucion);

}  // namespace veliora
