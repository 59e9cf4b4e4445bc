#include "core/sql/igualdad.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace veliora {

namespace {

using engine::Value;
using Filas = std::vector<const FilaValores*>;
using Posiciones = std::vector<std::size_t>;

// Left-over rows paired one against all: enough for any result that differs only in the
// last digits of a few numbers, bounded so that a long wrong result stays quick.
constexpr std::size_t kMaxTodosContraTodos = 4096;

// What is not a number first (types, texts, dates), then the numbers by value: rows that
// may be equal within the tolerance come side by side.
bool MenorPorForma(const FilaValores& a, const FilaValores& b) {
    if (a.size() != b.size())
        return a.size() < b.size();
    for (std::size_t c = 0; c < a.size(); ++c) {
        if (a[c].isNumber() && b[c].isNumber())
            continue;
        if (const int r = engine::CompareValues(a[c], b[c]); r != 0)
            return r < 0;
    }
    return FilaMenor(a, b);
}

Posiciones Ordenar(const Filas& filas, Posiciones p,
                   bool (*menor)(const FilaValores&, const FilaValores&)) {
    std::stable_sort(p.begin(), p.end(),
                     [&](std::size_t x, std::size_t y) { return menor(*filas[x], *filas[y]); });
    return p;
}

// Walks both lists, sorted by `menor`, pairing rows `igual` accepts; what is left unpaired
// goes to the remainders.
template <class Igual>
void Fundir(const Filas& a, const Filas& b, const Posiciones& pa, const Posiciones& pb,
            bool (*menor)(const FilaValores&, const FilaValores&), Igual igual, SinPareja& resto) {
    std::size_t i = 0, j = 0;
    while (i < pa.size() && j < pb.size()) {
        const FilaValores& x = *a[pa[i]];
        const FilaValores& y = *b[pb[j]];
        if (igual(x, y)) {
            ++i;
            ++j;
        } else if (menor(x, y)) {
            resto.a.push_back(pa[i++]);
        } else {
            resto.b.push_back(pb[j++]);
        }
    }
    resto.a.insert(resto.a.end(), pa.begin() + long(i), pa.end());
    resto.b.insert(resto.b.end(), pb.begin() + long(j), pb.end());
}

Posiciones Todas(std::size_t n) {
    Posiciones p(n);
    std::iota(p.begin(), p.end(), std::size_t(0));
    return p;
}

}  // namespace

bool FilaMenor(const FilaValores& a, const FilaValores& b) {
    for (std::size_t c = 0; c < a.size() && c < b.size(); ++c)
        if (const int r = engine::CompareValues(a[c], b[c]); r != 0)
            return r < 0;
    return a.size() < b.size();
}

bool MismoValor(const Value& a, const Value& b) {
    if (!a.isNumber() || !b.isNumber())
        return engine::SameValue(a, b);
    if (a.type == engine::ValueType::Integer && b.type == engine::ValueType::Integer)
        return a.integer == b.integer;
    const double x = a.number(), y = b.number();
    if (x == y)
        return true;
    return std::abs(x - y) <= kToleranciaNumeros * std::max(std::abs(x), std::abs(y));
}

bool MismaFila(const FilaValores& a, const FilaValores& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t c = 0; c < a.size(); ++c)
        if (!MismoValor(a[c], b[c]))
            return false;
    return true;
}

SinPareja Emparejar(const Filas& a, const Filas& b) {
    // Identical rows first: the usual case, exact and quick.
    SinPareja exactas;
    Fundir(
        a, b, Ordenar(a, Todas(a.size()), FilaMenor), Ordenar(b, Todas(b.size()), FilaMenor),
        FilaMenor, [](const FilaValores& x, const FilaValores& y) { return FilaIgual(x, y); },
        exactas);
    if (exactas.a.empty() || exactas.b.empty())
        return exactas;
    // Then rows whose numbers differ in their last digits, side by side once sorted by form.
    SinPareja cercanas;
    Fundir(a, b, Ordenar(a, exactas.a, MenorPorForma), Ordenar(b, exactas.b, MenorPorForma),
           MenorPorForma, MismaFila, cercanas);
    // Tolerance is not transitive: the few rows still left are tried against each other.
    SinPareja resto;
    if (!cercanas.a.empty() && !cercanas.b.empty() && cercanas.a.size() <= kMaxTodosContraTodos &&
        cercanas.b.size() <= kMaxTodosContraTodos) {
        std::vector<bool> usada(cercanas.b.size(), false);
        for (std::size_t x : cercanas.a) {
            bool emparejada = false;
            for (std::size_t k = 0; k < cercanas.b.size() && !emparejada; ++k)
                if (!usada[k] && MismaFila(*a[x], *b[cercanas.b[k]]))
                    usada[k] = emparejada = true;
            if (!emparejada)
                resto.a.push_back(x);
        }
        for (std::size_t k = 0; k < cercanas.b.size(); ++k)
            if (!usada[k])
                resto.b.push_back(cercanas.b[k]);
    } else {
        resto = std::move(cercanas);
    }
    std::sort(resto.a.begin(), resto.a.end());
    std::sort(resto.b.begin(), resto.b.end());
    return resto;
}

bool MismasFilas(const Filas& a, const Filas& b) {
    if (a.size() != b.size())
        return false;
    bool enOrden = true;
    for (std::size_t i = 0; i < a.size() && enOrden; ++i) enOrden = MismaFila(*a[i], *b[i]);
    return enOrden || Emparejar(a, b).Vacio();
}

bool MismosResultados(const engine::Recordset& respuesta, const engine::Recordset& solucion) {
    if (respuesta.RecordCount() != solucion.RecordCount())
        return false;
    if (respuesta.FieldCount() != solucion.FieldCount())
        return false;
    // Rows of one result share a width; a row of another width would be a broken result.
    std::vector<const FilaValores*> a, b;
    for (auto [r, filas] : {std::pair{&respuesta, &a}, std::pair{&solucion, &b}})
        for (std::size_t i = 0; i < r->RecordCount(); ++i) {
            if (r->Row(i).size() != std::size_t(r->FieldCount()))
                return false;
            filas->push_back(&r->Row(i));
        }
    return MismasFilas(a, b);
}

}  // namespace veliora
