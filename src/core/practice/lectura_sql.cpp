#include "core/practice/lectura_sql.h"

#include <algorithm>
#include <optional>

#include "core/sql/piezas_sql.h"

namespace veliora {

namespace {

bool MismoNombre(std::string_view a, std::string_view b) {
    return engine::LowerText(a) == engine::LowerText(b);
}

// Words that are never a table, an alias or a column.
bool Reservada(const Pieza& p) {
    // clang-format off
    static const char* const kPalabras[] = {
        "select", "from", "where", "group", "by", "having", "order", "limit", "offset", "union",
        "all", "except", "intersect", "join", "inner", "left", "right", "full", "outer", "cross",
        "natural", "on", "using", "as", "and", "or", "not", "between", "like", "glob", "in", "is",
        "null", "exists", "case", "when", "then", "else", "end", "cast", "distinct", "collate",
        "escape", "asc", "desc", "window", "over", "partition", "filter", "true", "false", "with",
        "values", "regexp", "match", "nulls", "first", "last", "indexed", "current_date",
        "current_time", "current_timestamp"};
    // clang-format on
    if (p.tipo != Pieza::Tipo::Nombre)
        return false;
    for (const char* w : kPalabras)
        if (EsPalabra(p, w))
            return true;
    return false;
}

bool FinDeDesde(const Pieza& p) {
    if (p.tipo == Pieza::Tipo::Simbolo)
        return p.valor == ";";
    for (auto w :
         {"where", "group", "having", "order", "limit", "union", "except", "intersect", "window"})
        if (EsPalabra(p, w))
            return true;
    return false;
}

bool Es(const Pieza& p, std::string_view simbolo) {
    return p.tipo == Pieza::Tipo::Simbolo && p.valor == simbolo;
}

// A reference to a column: [qualifier .] name, pieces [desde, hasta).
struct Referencia {
    std::size_t desde = 0, hasta = 0;
    std::string calificador, columna;
};

class Lector {
  public:
    Lector(std::string_view sql, const std::vector<engine::TableDef>& tablas)
        : sql_(sql), ps_(Trocear(sql)), tablas_(tablas) {}

    LecturaSql Leer() {
        for (std::size_t i = 0; i < ps_.size(); ++i)
            if (EsPalabra(ps_[i], "from"))
                LeerBloque(i);
        for (std::size_t b = 0; b < ambitos_.size(); ++b)
            for (const Tramo& t : ambitos_[b].condiciones) LeerCondiciones(b, t);
        return std::move(lectura_);
    }

  private:
    struct Ambito {
        std::size_t from = 0;  // piece index of its FROM
        int nivel = 0;
        std::vector<Tramo> condiciones;  // ON and WHERE clauses
    };

    const engine::TableDef* Tabla(std::string_view nombre) const {
        for (const auto& t : tablas_)
            if (MismoNombre(t.Name, nombre))
                return &t;
        return nullptr;
    }

    std::string Texto(std::size_t desde, std::size_t hasta) const {
        if (desde >= hasta)
            return {};
        return std::string(sql_.substr(ps_[desde].inicio, ps_[hasta - 1].fin - ps_[desde].inicio));
    }

    // The end of a clause that starts at `i`, at level `nivel`.
    std::size_t FinClausula(std::size_t i, int nivel, bool (*fin)(const Pieza&)) const {
        std::size_t j = i;
        while (j < ps_.size() && ps_[j].nivel >= nivel && !(ps_[j].nivel == nivel && fin(ps_[j])))
            ++j;
        return j;
    }

    // Where the ON condition starting at `i` ends: at the next table of the FROM list.
    std::size_t FinCondicionOn(std::size_t i, std::size_t fin, int nivel) const {
        auto siguienteTabla = [](const Pieza& p) {
            return Es(p, ",") || EsPalabra(p, "join") || EsPalabra(p, "left") ||
                   EsPalabra(p, "inner") || EsPalabra(p, "cross") || EsPalabra(p, "natural");
        };
        while (i < fin && !(ps_[i].nivel == nivel && siguienteTabla(ps_[i]))) ++i;
        return i;
    }

    // Reads the table named at `k` (with its schema and alias) into `b`; returns the last
    // piece read.
    std::size_t LeerTabla(std::size_t k, std::size_t fin, int nivel, Bloque& b) {
        // A schema before the name.
        if (k + 2 < fin && Es(ps_[k + 1], ".") && ps_[k + 2].tipo == Pieza::Tipo::Nombre)
            k += 2;
        const engine::TableDef* t = Tabla(ps_[k].valor);
        if (!t)
            return k;
        TablaNombrada tn{t->Name, ps_[k].valor};
        std::size_t s = k + 1;
        if (s < fin && EsPalabra(ps_[s], "as"))
            ++s;
        if (s < fin && ps_[s].nivel == nivel && ps_[s].tipo == Pieza::Tipo::Nombre &&
            !Reservada(ps_[s])) {
            tn.alias = ps_[s].valor;
            k = s;
        }
        b.tablas.push_back(std::move(tn));
        return k;
    }

    void LeerBloque(std::size_t from) {
        const int nivel = ps_[from].nivel;
        const std::size_t fin = FinClausula(from + 1, nivel, FinDeDesde);
        Bloque b;
        b.desde = Texto(from + 1, fin);
        b.exterior = nivel == 0 && lectura_.bloques.empty();
        Ambito a{from, nivel, {}};
        bool esperaTabla = true;
        for (std::size_t k = from + 1; k < fin; ++k) {
            const Pieza& p = ps_[k];
            if (p.nivel != nivel)
                continue;
            if (Es(p, ",") || EsPalabra(p, "join")) {
                esperaTabla = true;
            } else if (EsPalabra(p, "on")) {
                const std::size_t j = FinCondicionOn(k + 1, fin, nivel);
                a.condiciones.push_back({k + 1, j});
                k = j - 1;
            } else if (Es(p, ")")) {
                esperaTabla = false;  // a derived table; its alias follows
            } else if (esperaTabla && p.tipo == Pieza::Tipo::Nombre && !Reservada(p)) {
                k = LeerTabla(k, fin, nivel, b);
                esperaTabla = false;
            }
        }
        if (fin < ps_.size() && EsPalabra(ps_[fin], "where")) {
            const std::size_t w = FinClausula(fin + 1, nivel, [](const Pieza& p) {
                return FinDeDesde(p) && !EsPalabra(p, "where");
            });
            a.condiciones.push_back({fin + 1, w});
            b.donde = Texto(fin + 1, w);
        }
        lectura_.bloques.push_back(std::move(b));
        ambitos_.push_back(std::move(a));
    }

    // The column references of a condition; nothing when it holds a subquery.
    std::optional<std::vector<Referencia>> Referencias(const Tramo& t) const {
        std::vector<Referencia> refs;
        for (std::size_t i = t.desde; i < t.hasta; ++i) {
            const Pieza& p = ps_[i];
            if (EsPalabra(p, "select"))
                return std::nullopt;
            if (p.tipo != Pieza::Tipo::Nombre || Reservada(p))
                continue;
            const Pieza* antes = i > t.desde ? &ps_[i - 1] : nullptr;
            if (antes && (EsPalabra(*antes, "collate") || EsPalabra(*antes, "as")))
                continue;
            if (i + 1 < t.hasta && Es(ps_[i + 1], "("))
                continue;  // a function
            if (i + 2 < t.hasta && Es(ps_[i + 1], ".") && ps_[i + 2].tipo == Pieza::Tipo::Nombre) {
                refs.push_back({i, i + 3, p.valor, ps_[i + 2].valor});
                i += 2;
                continue;
            }
            refs.push_back({i, i + 1, {}, p.valor});
        }
        return refs;
    }

    // The table a reference names, looking from block `b` outwards.
    const engine::TableDef* Resolver(std::size_t b, const Referencia& r) const {
        auto tiene = [&](const engine::TableDef* t) {
            if (!t)
                return false;
            for (const auto& f : t->Fields)
                if (MismoNombre(f.Name, r.columna))
                    return true;
            return false;
        };
        for (std::size_t k = b + 1; k-- > 0;) {
            if (k != b &&
                !(ambitos_[k].nivel < ambitos_[b].nivel && ambitos_[k].from < ambitos_[b].from))
                continue;
            for (const auto& tn : lectura_.bloques[k].tablas) {
                const engine::TableDef* t = Tabla(tn.tabla);
                if (!r.calificador.empty() ? MismoNombre(tn.alias, r.calificador) && tiene(t)
                                           : tiene(t))
                    return t;
            }
        }
        return nullptr;
    }

    void LeerCondiciones(std::size_t b, const Tramo& clausula) {
        for (const Tramo& t : PartesDeCondicion(ps_, clausula, ambitos_[b].nivel)) {
            const auto refs = Referencias(t);
            if (!refs || refs->empty())
                continue;
            std::vector<std::pair<const engine::TableDef*, std::string>> cols;
            for (const auto& r : *refs) {
                const engine::TableDef* tabla = Resolver(b, r);
                if (!tabla)
                    break;
                std::string columna = r.columna;
                for (const auto& f : tabla->Fields)
                    if (MismoNombre(f.Name, r.columna))
                        columna = f.Name;
                cols.push_back({tabla, columna});
            }
            if (cols.size() != refs->size())
                continue;
            const bool una = std::all_of(cols.begin(), cols.end(), [&](const auto& c) {
                return c.first == cols[0].first && c.second == cols[0].second;
            });
            if (una) {
                // The condition's own text, each reference to the column replaced by "?".
                CondicionColumna c{cols[0].first->Name, cols[0].second, {}, int(refs->size()), b};
                std::size_t desde = ps_[t.desde].inicio;
                for (const auto& r : *refs) {
                    c.expresion +=
                        std::string(sql_.substr(desde, ps_[r.desde].inicio - desde)) + "?";
                    desde = ps_[r.hasta - 1].fin;
                }
                c.expresion += std::string(sql_.substr(desde, ps_[t.hasta - 1].fin - desde));
                lectura_.condiciones.push_back(std::move(c));
            } else if (refs->size() == 2 && t.hasta - t.desde <= 7) {
                bool iguala = false;
                for (std::size_t i = t.desde; i < t.hasta; ++i) iguala |= Es(ps_[i], "=");
                if (iguala && Es(ps_[(*refs)[0].hasta], "="))
                    lectura_.bloques[b].uniones.push_back(Texto(t.desde, t.hasta));
            }
        }
    }

    std::string_view sql_;
    std::vector<Pieza> ps_;
    const std::vector<engine::TableDef>& tablas_;
    LecturaSql lectura_;
    std::vector<Ambito> ambitos_;
};

}  // namespace

LecturaSql LeerSentencia(std::string_view sql, const std::vector<engine::TableDef>& tablas) {
    return Lector(sql, tablas).Leer();
}

}  // namespace veliora
