#pragma once
// Why an answer is wrong: the shapes of the two results, example rows one has and the other
// has not, and a one-line diagnosis of the usual slips.

#include <string>

#include "core/practice/comprobar.h"
#include "core/practice/contraejemplo.h"

namespace veliora {

inline constexpr std::size_t kFilasDiferencia = 3;

struct Diferencias {
    std::size_t filasRespuesta = 0, filasSolucion = 0;
    int columnasRespuesta = 0, columnasSolucion = 0;
    // Up to 3 rows the answer returns more often than the solution ("sobran"), and the
    // other way round ("faltan"); the latter only when the solution may be revealed.
    FilasEjemplo sobran, faltan;
    // One line when a usual slip explains it (columns, repeated rows, column order, empty
    // answer); empty otherwise.
    std::string diagnostico;
};

// Compares the two results as the check read them (see ComprobarRespuesta) as multisets of
// rows.
Diferencias DiferenciasEntre(ResultadosLeidos leidos, bool revelar);

// The differences as lines for the practice window and the terminal: the counts, the
// diagnosis, then the rows that are extra and those that are missing under their headers.
std::string TextoDiferencias(const Diferencias& d);
// Rows under their headers, tab-separated, one per line; "(ninguna fila)" when empty.
std::string TextoFilas(const FilasEjemplo& filas);

}  // namespace veliora
