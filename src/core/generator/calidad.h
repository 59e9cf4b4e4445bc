#pragma once
// Questions worth asking: a generated solution whose result is empty (or all null), or equal
// to that of the same query without one of its conditions, would accept an answer that
// ignores what the question is about.

#include <chrono>
#include <cstddef>
#include <string_view>

#include "core/engine/database.h"

namespace veliora::generador {

// Questions one press may refuse: past them the best refused one is shown. Keeps a press
// short, and its outcome independent of the machine's speed on any ordinary database.
inline constexpr int kMaxRedibujadas = 30;

struct OpcionesCalidad {
    bool activa = true;                          // "Evitar preguntas triviales"
    std::chrono::milliseconds presupuesto{150};  // for all the statements of one press
};
// From veliora.ini (EVITARTRIVIALES, PRESUPUESTOCALIDAD; bounds in core/shell/registro.h).
OpcionesCalidad LeerOpcionesCalidad();

enum class Dictamen {
    Digna,      // worth asking, or it could not be told (an engine error)
    Vacia,      // the solution returns no rows, or nothing but nulls
    Trivial,    // a mutant without a condition, the subquery's or the having returns the same
    SinTiempo,  // the budget ran out: shown as it is
};

struct Medida {
    Dictamen dictamen = Dictamen::Digna;
    long filas = -1;  // rows of the solution; -1 when not known
};

// Rows of the solution the gate keeps from its one pass; past them a mutant is told from the
// solution by its row count first.
inline constexpr std::size_t kFilasGuardadas = 1000;

// Runs `sql` and its mutants (each of its top-level conditions dropped but those joining
// tables, all of them at once, the HAVING clause dropped) on `usuario` until `limite`, which
// stops a running statement; it stops sooner when what is left cannot be enough (the solution
// past its share of the budget, a mutant with less left than the solution took). `guardar`: rows of the solution kept (kFilasGuardadas); any other
// value gives the same verdict.
Medida MedirPregunta(engine::Database& usuario, std::string_view sql,
                     std::chrono::steady_clock::time_point limite,
                     std::size_t guardar = kFilasGuardadas);

}  // namespace veliora::generador
