#pragma once
// Values a counterexample search writes into a column: near the literals of the statements,
// at the edges of the days, months and years they name, texts a pattern matches and texts
// it just misses, numbers that tell aggregates apart. Each one a value the column's declared
// type admits: whole numbers, decimals of its scale, dates or moments as it stores them,
// texts no longer than declared.

#include <string>
#include <string_view>
#include <vector>

#include "core/engine/database.h"

namespace veliora {

// What kind of value a column holds, from its declared type.
struct Dominio {
    enum class Clase { Entero, SiNo, Numero, Fecha, Texto, Otro };
    Clase clase = Clase::Otro;
    int escala = -1;       // decimals a number may have; -1 any
    int longitud = -1;     // characters a text may have; -1 any
    bool conHora = false;  // a date holds its time of day

    // `muestra`: some of its stored values (a date with a time tells its form).
    static Dominio De(const engine::FieldDef& campo, const std::vector<engine::Value>& muestra);
    bool Admite(const engine::Value& v) const;
    bool Numerico() const {
        return clase == Clase::Entero || clase == Clase::SiNo || clase == Clase::Numero;
    }
};

struct Literales {
    std::vector<double> numeros;
    std::vector<std::string> textos;
};
// The literals of statements in the engine's dialect.
Literales LeerLiterales(const std::vector<std::string_view>& sentencias);

struct ValoresColumna {
    std::vector<engine::Value> cercanos;  // from the literals, inside their ranges first
    std::vector<engine::Value> otros;     // numbers that tell aggregates apart, other forms
};

// The values for a column of `dominio`, from `literales` and its stored `muestra`.
ValoresColumna ValoresPara(const Dominio& dominio, const Literales& literales,
                           const std::vector<engine::Value>& muestra);

// An ISO date moved by `dias`, or an ISO date and time ("yyyy-mm-dd hh:nn:ss") moved by
// `segundos`; empty when it is not one. A date keeps what follows it.
std::string MoverFecha(const std::string& iso, int dias, int segundos = 0);

}  // namespace veliora
