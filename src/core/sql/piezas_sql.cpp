#include "core/sql/piezas_sql.h"

#include <cctype>

#include "core/engine/sql_scanner.h"

namespace veliora {

namespace {

bool Letra(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80);
}

// Whether a top-level piece is the keyword `palabra` as `lectura` reads keywords.
bool EsClave(const Pieza& p, std::string_view palabra, const LecturaClausula& lectura) {
    return p.nivel == 0 && (lectura.nombresCitados || !p.citado) && EsPalabra(p, palabra);
}

// Whether the top-level piece ends a clause read as `lectura` says.
bool FinDeClausula(const Pieza& p, const LecturaClausula& lectura) {
    if (p.nivel != 0)
        return false;
    if (p.tipo == Pieza::Tipo::Simbolo)
        return lectura.puntoYComa && p.valor == ";";
    for (std::string_view w : lectura.fines)
        if (EsClave(p, w, lectura))
            return true;
    return false;
}

// The pieces of the top-level clause that begins with `palabra`, the keyword included.
bool Clausula(const std::vector<Pieza>& ps, std::string_view palabra, Tramo& t) {
    const auto encontrada = BuscarClausula(ps, palabra, kFinDeCondicion);
    if (encontrada)
        t = *encontrada;
    return encontrada.has_value();
}

std::string Quitar(std::string_view sql, std::size_t desde, std::size_t hasta) {
    return std::string(sql.substr(0, desde)) + " " + std::string(sql.substr(hasta));
}

}  // namespace

const LecturaClausula kFinDeCondicion{
    {"group", "having", "order", "limit", "union", "except", "intersect", "window"}, true, true};

std::optional<Tramo> BuscarClausula(const std::vector<Pieza>& ps, std::string_view palabra,
                                    const LecturaClausula& lectura, std::size_t desde) {
    for (std::size_t i = desde; i < ps.size(); ++i) {
        if (!EsClave(ps[i], palabra, lectura))
            continue;
        std::size_t j = i + 1;
        while (j < ps.size() && !FinDeClausula(ps[j], lectura)) ++j;
        return Tramo{i, j};
    }
    return std::nullopt;
}

bool EsPalabra(const Pieza& p, std::string_view palabra) {
    if (p.tipo != Pieza::Tipo::Nombre || p.valor.size() != palabra.size())
        return false;
    for (std::size_t i = 0; i < palabra.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(p.valor[i])) != palabra[i])
            return false;
    return true;
}

std::vector<Pieza> Trocear(std::string_view s) {
    std::vector<Pieza> ps;
    engine::SqlScanner lector(s);
    while (!lector.Done()) {
        const engine::SqlStretch& tramo = lector.Stretch();
        const char c = lector.Char();
        if (tramo.kind == engine::SqlStretch::Kind::Comment ||
            (tramo.code() && std::isspace(static_cast<unsigned char>(c)))) {
            lector.Next();
            continue;
        }
        Pieza p;
        p.inicio = tramo.begin;
        p.nivel = lector.Depth();
        std::size_t i = tramo.end;
        if (!tramo.code()) {
            p.tipo = c == '\'' ? Pieza::Tipo::Texto : Pieza::Tipo::Nombre;
            p.citado = p.tipo == Pieza::Tipo::Nombre;
            p.valor = engine::StretchContent(s, tramo);
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '.' && i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))) {
            p.tipo = Pieza::Tipo::Numero;
            for (i = p.inicio;
                 i < s.size() &&
                 (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '.' ||
                  ((s[i] == '+' || s[i] == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E')));)
                p.valor += s[i++];
        } else if (Letra(c)) {
            p.tipo = Pieza::Tipo::Nombre;
            for (i = p.inicio; i < s.size() && Letra(s[i]);) p.valor += s[i++];
        } else {
            p.valor = std::string(1, c);
        }
        p.fin = i;
        ps.push_back(std::move(p));
        lector.SkipTo(i);
    }
    return ps;
}

std::string SinClausula(std::string_view sql, bool where) {
    const auto ps = Trocear(sql);
    Tramo t;
    if (!Clausula(ps, where ? "where" : "having", t))
        return {};
    const std::size_t hasta = t.hasta < ps.size() ? ps[t.hasta].inicio : sql.size();
    return Quitar(sql, ps[t.desde].inicio, hasta);
}

std::vector<Tramo> PartesDeCondicion(const std::vector<Pieza>& ps, const Tramo& t, int nivel) {
    std::vector<Tramo> partes;
    bool entre = false;
    std::size_t desde = t.desde;
    for (std::size_t i = t.desde; i <= t.hasta; ++i) {
        if (i < t.hasta && ps[i].nivel != nivel)
            continue;
        if (i < t.hasta && EsPalabra(ps[i], "between")) {
            entre = true;
        } else if (i < t.hasta && EsPalabra(ps[i], "and") && entre) {
            entre = false;
        } else if (i == t.hasta || EsPalabra(ps[i], "and") || EsPalabra(ps[i], "or")) {
            if (i > desde)
                partes.push_back({desde, i});
            desde = i + 1;
        }
    }
    return partes;
}

namespace {

// A top-level condition of a where clause and the joint (AND / OR) before it; 0 for the
// first.
struct Condicion {
    Tramo tramo;
    std::size_t union_ = 0;
};

// The top-level conditions of the where clause `t`.
std::vector<Condicion> CondicionesDe(const std::vector<Pieza>& ps, const Tramo& t) {
    std::vector<Condicion> condiciones;
    for (const Tramo& c : PartesDeCondicion(ps, {t.desde + 1, t.hasta}, 0))
        condiciones.push_back({c, c.desde > t.desde + 1 ? c.desde - 1 : 0});
    return condiciones;
}

// A column compared with a column joins the tables: dropping it gives their product.
bool UneTablas(const std::vector<Pieza>& ps, const Tramo& c) {
    int iguales = 0;
    for (std::size_t i = c.desde; i < c.hasta; ++i) {
        if (ps[i].valor == "=")
            ++iguales;
        else if (ps[i].tipo != Pieza::Tipo::Nombre && ps[i].valor != ".")
            return false;
    }
    return iguales == 1;
}

// The statement keeping, of the where clause `t`, the conditions `quedan` says.
std::string ConCondiciones(std::string_view sql, const std::vector<Pieza>& ps, const Tramo& t,
                           const std::vector<Condicion>& condiciones,
                           const std::vector<bool>& quedan) {
    std::string where;
    for (std::size_t k = 0; k < condiciones.size(); ++k) {
        if (!quedan[k])
            continue;
        if (!where.empty())
            where += " " + (condiciones[k].union_ ? ps[condiciones[k].union_].valor : "and") + " ";
        const Tramo& c = condiciones[k].tramo;
        where += sql.substr(ps[c.desde].inicio, ps[c.hasta - 1].fin - ps[c.desde].inicio);
    }
    const std::size_t fin = t.hasta < ps.size() ? ps[t.hasta].inicio : sql.size();
    return std::string(sql.substr(0, ps[t.desde].inicio)) +
           (where.empty() ? "" : "where " + where + " ") + std::string(sql.substr(fin));
}

}  // namespace

std::vector<std::string> SinCadaCondicion(std::string_view sql) {
    const auto ps = Trocear(sql);
    Tramo t;
    if (!Clausula(ps, "where", t))
        return {};
    const std::vector<Condicion> condiciones = CondicionesDe(ps, t);
    std::vector<std::string> mutantes;
    std::vector<bool> uniones(condiciones.size());
    int propias = 0;
    for (std::size_t k = 0; k < condiciones.size(); ++k) {
        uniones[k] = UneTablas(ps, condiciones[k].tramo);
        propias += uniones[k] ? 0 : 1;
    }
    for (std::size_t k = 0; k < condiciones.size(); ++k) {
        if (uniones[k])
            continue;
        std::vector<bool> quedan(condiciones.size(), true);
        quedan[k] = false;
        mutantes.push_back(ConCondiciones(sql, ps, t, condiciones, quedan));
    }
    if (propias > 1)
        mutantes.push_back(ConCondiciones(sql, ps, t, condiciones, uniones));
    return mutantes;
}

}  // namespace veliora
