#pragma once
// What the counterexample search reads in a statement: the query blocks (a FROM with its
// tables, aliases and joining conditions) and the conditions that compare one stored column
// with literals. A light reading of the text (piezas_sql): what it cannot place is left
// out, and the engine remains the judge of what a statement means.

#include <string>
#include <string_view>
#include <vector>

#include "core/engine/database.h"

namespace veliora {

struct TablaNombrada {
    std::string tabla;  // as the database names it
    std::string alias;  // as the statement refers to it (the table's name when no alias)
};

// A FROM clause and the conditions of its WHERE that join its tables.
struct Bloque {
    std::vector<TablaNombrada> tablas;  // derived tables left out
    std::string desde;                  // the clause's text, without FROM
    std::string donde;                  // its WHERE clause's text, without WHERE
    std::vector<std::string> uniones;   // conditions of it comparing a column with a column
    bool exterior = false;              // the statement's outermost block
};

// A condition of a WHERE, an ON or a HAVING on one stored column and literals.
struct CondicionColumna {
    std::string tabla, columna;  // as the database names them
    // The condition with each reference to the column written "?" (`veces` of them): the
    // engine tells with it whether a value meets the condition.
    std::string expresion;
    int veces = 1;
    std::size_t bloque = 0;  // index into LecturaSql::bloques
};

struct LecturaSql {
    std::vector<Bloque> bloques;
    std::vector<CondicionColumna> condiciones;
};

// Reads `sql` (in the engine's dialect) against the tables `tablas` may name.
LecturaSql LeerSentencia(std::string_view sql, const std::vector<engine::TableDef>& tablas);

}  // namespace veliora
