#pragma once
// Pure pieces of the generator: type groups, aggregate and operator names, SQL literals,
// bracket handling and the grouping check that validation adds to the engine's own.

#include <string>
#include <string_view>

#include "core/engine/value.h"

namespace veliora::generador {

// The codes a plan holds and prints (veliora-cli generate --json): the numbers are part of
// the plan's contract.

// Aggregates.
namespace Agregados {
enum Codigo : int { Count = 0, Ninguno = 1, Max = 2, Min = 3, Sum = 4, Avg = 5 };
}
// Operators (" = " ... " in ").
namespace Operadores {
enum Codigo : int {
    Igual = 0,
    Mayor = 1,
    Menor = 2,
    MayorIgual = 3,
    MenorIgual = 4,
    Distinto = 5,
    Entre = 6,
    En = 7
};
}
// Subquery kinds: compared with one value, in / not in a list, not exists.
namespace Subconsultas {
enum Tipo : int { Ninguna = 0, Valor = 1, Lista = 2, NoExiste = 3 };
}
// How a subquery clause joins the outer condition.
namespace Conectores {
enum Codigo : int { Ninguno = 0, Y = 1, O = 2 };
}
// The operator of a list subquery.
namespace Pertenencia {
enum Codigo : int { En = 1, NoEn = 2 };
}
// The shape of a subquery's inner query.
namespace FormasSub {
enum Codigo : int { Correlacionada = 0, UnaTabla = 1, VariasTablas = 2 };
}

enum class GrupoTipo { Numerico, Fecha, Texto, Otro };
// The group of an engine::TypeCode.
GrupoTipo GrupoDeTipo(int tipo);
inline bool EsNumerico(int tipo) {
    return GrupoDeTipo(tipo) == GrupoTipo::Numerico;
}
inline bool EsTexto(int tipo) {
    return GrupoDeTipo(tipo) == GrupoTipo::Texto;
}

// "Count", "", "Max", "Min", "Sum", "Avg"; any other code gives "".
std::string NombreAgregado(int codigo);
// " = ", " > ", " < ", " >= ", " <= ", " <> ", " between ", " in "; any other code gives "".
std::string NombreOperador(int codigo);

std::string Corchetes(std::string_view nombre);

// Text literal for SQL: every inner single quote is doubled, so that a value can never
// change the statement's meaning.
std::string LiteralTexto(std::string_view valor);
// The text between single quotes as the question shows it (quotes not doubled).
std::string TextoEntreComillas(std::string_view valor);
// "#mm/dd/yyyy#" from a dd/mm/yyyy text, "#mm/dd/yyyy hh:nn:ss#" when a time of day other
// than midnight follows; a text that is not such a date is kept as it is between the
// hashes, which the engine refuses.
std::string LiteralFecha(std::string_view valor);
// Every "," replaced by ".".
std::string LiteralNumero(std::string_view valor);
// The literal of a value for a field of that type code.
std::string LiteralPorTipo(int tipo, std::string_view valor);
// The literal of a value drawn from a field of that type code, `texto` being its text as the
// question shows it: it matches the stored value, so a date keeps the form it was stored in
// (its time of day, midnight included; a date-time stored in another form is written as the
// text or number stored).
std::string LiteralDeValor(int tipo, const engine::Value& valor, std::string_view texto);

// The text with every "[" and "]" removed.
std::string QuitarCorchetes(std::string_view texto);
// Whether dropping the brackets can only change how names are written: every bracketed
// name is a plain identifier (letters, accented ones too, digits and underscores, not
// starting with a digit) and no quoted literal holds a bracket.
bool CorchetesPrescindibles(std::string_view sql);

// False for an aggregate statement (one with a group by, or with an aggregate in its select
// list) whose select list holds a column that is neither a grouping expression nor inside
// an aggregate: SQLite would return an arbitrary row's value for it.
bool AgrupacionCorrecta(std::string_view sql);

}  // namespace veliora::generador
