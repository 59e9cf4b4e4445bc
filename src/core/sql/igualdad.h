#pragma once
// When two results hold the same rows: values as the judge compares them, and rows paired
// as multisets under that equality.

#include <cstddef>
#include <vector>

#include "core/engine/database.h"
#include "core/engine/value.h"

namespace veliora {

using FilaValores = std::vector<engine::Value>;

// The one row order: lexicographic on the engine's total order of values
// (engine::CompareValues), a row that is the start of another first.
bool FilaMenor(const FilaValores& a, const FilaValores& b);
// Neither row before the other under FilaMenor: the same values exactly.
inline bool FilaIgual(const FilaValores& a, const FilaValores& b) {
    return !FilaMenor(a, b) && !FilaMenor(b, a);
}

// Relative difference under which two numbers are the same number.
inline constexpr double kToleranciaNumeros = 1e-9;

// Values as results are judged: two numbers are equal when |a - b| <= 1e-9 * max(|a|, |b|)
// (the same amounts added in another order differ in their last digits), two whole numbers
// only when they are the same; texts, dates and nulls as engine::SameValue.
bool MismoValor(const engine::Value& a, const engine::Value& b);
// Same width and MismoValor column by column.
bool MismaFila(const FilaValores& a, const FilaValores& b);

// Rows of each side left without a partner once every row that can be is paired with an
// equal row (MismaFila) of the other side: positions into each side, ascending.
struct SinPareja {
    std::vector<std::size_t> a, b;
    bool Vacio() const { return a.empty() && b.empty(); }
};
// Pairs identical rows first, then rows that differ only in numbers within the tolerance.
SinPareja Emparejar(const std::vector<const FilaValores*>& a,
                    const std::vector<const FilaValores*>& b);

// Whether the two lists hold the same rows, in order or as multisets (MismaFila).
bool MismasFilas(const std::vector<const FilaValores*>& a,
                 const std::vector<const FilaValores*>& b);

// Two results already fetched to their end (MoveLast): true when both have the same shape
// and the same rows (MismaFila), in order or as multisets.
bool MismosResultados(const engine::Recordset& respuesta, const engine::Recordset& solucion);

}  // namespace veliora
