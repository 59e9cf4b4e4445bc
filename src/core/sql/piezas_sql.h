#pragma once
// A light reading of a query's text, enough to find the names and literals it uses and its
// top-level clauses: no parsing, the engine remains the judge of what a statement means.
// What the generator and the judge both read of a statement's text.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veliora {

struct Pieza {
    enum class Tipo { Nombre, Numero, Texto, Simbolo };
    Tipo tipo = Tipo::Simbolo;
    std::string valor;  // a name without its quotes, a text without its quotes and doubling
    std::size_t inicio = 0, fin = 0;  // bytes of the piece in the statement
    int nivel = 0;                    // depth of parentheses it stands at
    bool citado = false;              // a name written between quotes or brackets
};

// The pieces of `sql` (already in the engine's dialect), comments and blanks left out.
std::vector<Pieza> Trocear(std::string_view sql);

// Whether a name piece is the keyword `palabra` (ASCII, letter case ignored).
bool EsPalabra(const Pieza& p, std::string_view palabra);

// Pieces [desde, hasta) of a statement.
struct Tramo {
    std::size_t desde = 0, hasta = 0;
};

// How the clause finder reads a clause: the top-level keywords that end it, whether ";"
// ends it too, and whether a name between quotes or brackets can be a keyword.
struct LecturaClausula {
    std::vector<std::string_view> fines;
    bool puntoYComa = false;
    bool nombresCitados = false;
};
// The end of a top-level WHERE or HAVING: the next clause, a set operator, WINDOW or ";".
extern const LecturaClausula kFinDeCondicion;

// The one clause finder: the first top-level clause, from piece `desde` on, that begins with
// the keyword `palabra` (the keyword included), up to the first top-level piece that ends it
// as `lectura` says (or the statement's end). Nothing when there is none.
std::optional<Tramo> BuscarClausula(const std::vector<Pieza>& ps, std::string_view palabra,
                                    const LecturaClausula& lectura, std::size_t desde = 0);

// The conditions of the pieces `t` at level `nivel`, between AND and OR; the AND of a
// BETWEEN belongs to it.
std::vector<Tramo> PartesDeCondicion(const std::vector<Pieza>& ps, const Tramo& t, int nivel);

// `sql` without its top-level HAVING (false) or WHERE (true) clause; empty when it has none.
std::string SinClausula(std::string_view sql, bool where);
// `sql` without each top-level condition of its WHERE clause (joined by AND or OR), then
// without all of them at once; a condition comparing a column with a column, which joins
// tables, always stays.
std::vector<std::string> SinCadaCondicion(std::string_view sql);

}  // namespace veliora
