#pragma once
// Answer checking: runs the solution and the student's answer on the user database and
// compares the two results.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/database.h"
#include "core/sql/igualdad.h"

namespace veliora {

enum class Veredicto {
    Correcto,           // same rows, in the given order or once both are sorted
    Erroneo,            // the results differ
    SolucionInvalida,   // the solution could not be run to its end: nothing can be judged
    RespuestaInvalida,  // the answer was refused, failed or was interrupted
    CorrectoSoloAqui,   // same rows here, but not on other data (see juez.h)
};

// Why a statement could not be judged.
enum class Motivo {
    Ninguno,        // a verdict was reached
    NoEsConsulta,   // the guard refused it: not a single read-only query
    LimiteTiempo,   // the check's time limit was reached
    LimiteMemoria,  // the memory budget (or an engine size limit) was reached
    Sintaxis,       // the engine could not parse it
    Motor,          // any other engine error
    Vacia,          // no statement at all
};

// Stable code of a verdict: "correcto", "erroneo", "solucion_invalida", "respuesta_invalida",
// "correcto_solo_aqui".
const char* CodigoVeredicto(Veredicto veredicto);
// Stable code of a reason: "not_a_query", "time_limit", "memory_limit", "syntax", "engine",
// "empty"; the empty text for Ninguno.
const char* CodigoMotivo(Motivo motivo);
// The reason of an engine error.
Motivo MotivoDeError(const engine::Error& error);
// One line, in the interface's language, saying why: the reason's own text, or the engine's
// message in words the student can act on (the engine's own text where none applies).
// `limites` gives the figures the time and memory texts cite.
std::string ExplicarError(const engine::Error& error, const engine::Limits& limites);

// The message of a check that reached no verdict (SolucionInvalida or RespuestaInvalida)
// because of `error`: the verdict's line (1116, 1117) and then why when the statement could
// not be compiled (`compilada` false); otherwise the cause itself, in one line (time limit,
// memory, not a query, empty, a failure while running).
std::string MensajeSinVeredicto(Veredicto veredicto, const engine::Error& error,
                                const engine::Limits& limites, bool compilada);

struct ResultadoComprobacion {
    Veredicto veredicto = Veredicto::Erroneo;
    // The message the practice window shows, from the string table in the current language:
    // the verdict's text, or when nothing could be judged, MensajeSinVeredicto.
    std::string mensaje;
    // The engine's error when the verdict is SolucionInvalida or RespuestaInvalida.
    engine::Error error;
    Motivo motivo = Motivo::Ninguno;
};

// Judges `respuesta` against `solucion` on `usuario`, which must be a user database: both
// statements pass its guard (read only, one statement), so the file is never written. The
// database's time limit bounds the whole check (both statements, fetching and comparing),
// not each step. Results are compared column by column by position, values as MismoValor
// (igualdad.h) has them (1 equals 1.0, numbers within a relative 1e-9, texts exactly, a null
// only matches a null): first in the order the statements give, then as multisets of rows.
// Both statements are read side by side without holding their rows: from the first
// difference on, each row leaves a 128-bit fingerprint, and the sorted fingerprints are
// compared (rows whose fingerprints could hide a collision are confirmed value by value on a
// second reading, and so are rows whose numbers may differ only within the tolerance). The
// memory budget bounds those fingerprints; the row cap does not apply. Statements are run as
// given, so an answer with its own order clause, limit or trailing comment is judged on its
// rows.
//
// Both results' rows are kept as they are read while together they take at most
// kMaximoGuardado bytes (and the memory budget): with `leidos`, a wrong answer's results are
// handed over there when they fitted (nothing otherwise), so that what differs is told from
// this one reading. Kept rows also spare the second reading of doubtful fingerprints.
inline constexpr std::size_t kMaximoGuardado = std::size_t(8) << 20;
struct ResultadoLeido {
    std::vector<std::string> columnas;
    std::vector<FilaValores> filas;  // in the order they were read
};
struct ResultadosLeidos {
    ResultadoLeido solucion, respuesta;
};
ResultadoComprobacion ComprobarRespuesta(engine::Database& usuario, std::string_view solucion,
                                         std::string_view respuesta,
                                         std::optional<ResultadosLeidos>* leidos = nullptr);

// Why `sql` cannot serve as a solution on `usuario` (a bulletin line's answer, for
// instance): empty when the engine compiles it there as one query; otherwise the reason in
// the interface's language (empty, not a query, the engine's compile error). Nothing is run.
std::string ProblemaSolucion(engine::Database& usuario, std::string_view sql);

// The message of a verdict (1118 + CRLF + 1119, 1120, 1116, 1117 or 1800).
std::string MensajeVeredicto(Veredicto veredicto);

namespace prueba {
// Keeps only `bits` of the 128 of every row fingerprint ComprobarRespuesta compares as
// multisets (0: every row collides with every other); 128 restores them. Tests only.
void BitsDeHuella(int bits);
// Whether an outer order by that cannot change the rows is left out of the statements
// ComprobarRespuesta runs (the default); off, they run as given. Tests only.
void OrdenLibre(bool activo);
// Whether rows are kept as they are read (the default); off, none is, as with results too
// big to keep. Tests only.
void GuardarFilas(bool activo);
// Whether the answer is read ahead by a thread of its own, on a second connection: forced
// on or off, or (nullopt, the default) when the machine has two cores and the file is big.
// Tests only.
void DosHilos(std::optional<bool> activo);
}  // namespace prueba

}  // namespace veliora
