#include "core/practice/contraejemplo.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <set>

#include "core/base/textos.h"
#include "core/practice/comprobar.h"
#include "core/practice/copia_restringida.h"
#include "core/practice/lectura_sql.h"
#include "core/practice/valores_prueba.h"
#include "core/sql/igualdad.h"
#include "core/sql/piezas_sql.h"

namespace veliora {

namespace {

using engine::Database;
using engine::Value;
using Clock = std::chrono::steady_clock;

// Tables up to this size are copied whole; larger ones by a sample of this many rows (and
// the rows their sampled neighbours refer to).
constexpr std::int64_t kFilasCopiaEntera = 2000;
constexpr std::int64_t kFilasMuestra = 300;
// Rows a base that reaches the statements' conditions changes in each table.
constexpr int kFilasBase = 3;

std::string Minusculas(std::string_view s) {
    return engine::LowerText(s);
}
std::string Id(std::string_view nombre) {
    return engine::QuoteSql(nombre, '"');
}
std::string Tabla(std::string_view nombre) {
    return "main." + Id(nombre);
}

std::string Sustituir(std::string texto, const std::vector<std::string>& valores) {
    for (std::size_t i = valores.size(); i-- > 0;) {
        const std::string marca = "%" + std::to_string(i + 1);
        const auto p = texto.find(marca);
        if (p != std::string::npos)
            texto.replace(p, marca.size(), valores[i]);
    }
    return texto;
}

std::string Lista(const std::vector<std::string>& partes, const std::string& union_ = ", ") {
    std::string s;
    for (const auto& p : partes) s += (s.empty() ? "" : union_) + p;
    return s;
}

// Two changes in one sentence: "Si …, y además si …".
std::string YAdemas(const std::string& a, std::string b) {
    if (b.rfind("Si ", 0) == 0)
        b[0] = 's';
    return a + " " + Texto(2014) + " " + b;
}

struct Variante {
    std::string cambio;
    Cambio datos;
    // When deleted rows take others with them: the text then, %1 the tables they were in.
    std::string conArrastre;
    // A change of one table by one statement; one that deletes takes the rows referring to
    // the deleted ones with it.
    Variante(std::string texto, const std::string& tabla, std::string sql,
             std::vector<Value> parametros = {}, bool borra = false)
        : cambio(std::move(texto)),
          datos{{{std::move(sql), std::move(parametros)}}, {tabla}, borra, {}} {}
    Variante(std::string texto, Cambio c) : cambio(std::move(texto)), datos(std::move(c)) {}
};

struct Columna {
    std::string nombre;
    Dominio dominio;
    std::vector<Value> muestra;  // some stored values
    ValoresColumna valores;
    bool clave = false;  // part of a unique index of its table
};

struct TablaLeida {
    engine::TableDef def;
    std::vector<Columna> usadas;      // its columns the statements name
    std::vector<std::int64_t> filas;  // rows the statements use, then the first ones
    std::size_t usadas_filas = 0;     // how many of `filas` the statements use
};

// Whether a result says nothing here: no rows, or only zeros and nulls.
bool SinInformacion(const engine::Recordset& rs) {
    for (std::size_t i = 0; i < rs.RecordCount(); ++i)
        for (const Value& v : rs.Row(i))
            if (!v.isNull() && !(v.isNumber() && v.number() == 0))
                return false;
    return true;
}

class Busqueda {
  public:
    Busqueda(Database& usuario, std::string_view solucion, std::string_view respuesta,
             Clock::time_point limite)
        : usuario_(usuario),
          solucion_(solucion),
          respuesta_(respuesta),
          traducidas_{engine::TranslateDialect(solucion), engine::TranslateDialect(respuesta)},
          limite_(limite) {}

    std::optional<Contraejemplo> Buscar() {
        if (!LeerTablas() || !Copiar())
            return std::nullopt;
        std::vector<engine::TableDef> defs;
        for (const auto& t : tablas_) defs.push_back(t.def);
        for (const auto& sql : traducidas_) lecturas_.push_back(LeerSentencia(sql, defs));
        literales_ = LeerLiterales({traducidas_[0], traducidas_[1]});
        LeerColumnas();

        std::optional<Contraejemplo> hallado;
        std::string prefijo;
        auto probar = [&](const Variante& v) {
            if (Clock::now() >= limite_)
                return false;
            hallado = Probar(v, prefijo);
            return !hallado;
        };
        // Where the solution says nothing on this data, rows are first made to meet the
        // statements' conditions; every variant then runs on top of them.
        if (SolucionSinInformacion()) {
            for (const Variante& base : Bases()) {
                if (!probar(base))
                    return hallado;
                if (!copia_->Aplicar(base.datos))
                    continue;
                prefijo = base.cambio;
                ElegirFilas();
                Variantes(probar);
                copia_->Deshacer();
                prefijo.clear();
                if (hallado || Clock::now() >= limite_)
                    return hallado;
            }
            ElegirFilas();
        }
        Variantes(probar);
        return hallado;
    }

  private:
    // ---------------------------------------------------------------- the copy

    bool LeerTablas() {
        std::set<std::string> nombres;
        for (const auto& sql : traducidas_)
            for (const Pieza& p : Trocear(sql))
                if (p.tipo == Pieza::Tipo::Nombre)
                    nombres.insert(Minusculas(p.valor));
        engine::Error error;
        auto defs = usuario_.TableDefs(error);
        if (error.failed())
            return false;
        todas_ = defs;
        for (auto& def : defs) {
            if (def.Attributes != 0 || def.Virtual || !nombres.count(Minusculas(def.Name)))
                continue;
            TablaLeida t{std::move(def), {}, {}};
            for (const auto& f : t.def.Fields)
                if (nombres.count(Minusculas(f.Name)))
                    t.usadas.push_back({f.Name, {}, {}, {}, false});
            tablas_.push_back(std::move(t));
        }
        return !tablas_.empty();
    }

    // Condition of the rows copied of each table: all, or a sample closed under the
    // relations between the copied tables, so that no copied row loses its partner.
    std::vector<Database::TableCopy> Seleccion() {
        engine::Error error;
        AnadirReferidas();
        std::map<std::string, std::string> base;
        bool muestra = false;
        for (const auto& t : tablas_) {
            const Value n = usuario_.Scalar("SELECT count(*) FROM " + Id(t.def.Name), error);
            if (!error.failed() && n.toInt() > kFilasCopiaEntera) {
                base[Minusculas(t.def.Name)] = "rowid IN (SELECT rowid FROM " + Tabla(t.def.Name) +
                                               " LIMIT " + std::to_string(kFilasMuestra) + ")";
                muestra = true;
            }
        }
        std::vector<Database::TableCopy> copias;
        for (const auto& t : tablas_) copias.push_back({t.def.Name, {}});
        if (!muestra)
            return copias;
        const auto& relaciones = usuario_.Relations(error);
        std::map<std::string, std::string> hecho;
        std::set<std::string> enCurso;
        std::function<std::string(const std::string&)> donde = [&](const std::string& nombre) {
            const std::string clave = Minusculas(nombre);
            if (auto h = hecho.find(clave); h != hecho.end())
                return h->second;
            if (!base.count(clave) || enCurso.count(clave))
                return std::string();
            enCurso.insert(clave);
            std::string cond = base[clave];
            for (const auto& r : relaciones) {
                if (Minusculas(r.Table) != clave || r.Fields.empty())
                    continue;
                bool copiada = false;
                for (const auto& t : tablas_)
                    copiada |= Minusculas(t.def.Name) == Minusculas(r.ForeignTable);
                if (!copiada)
                    continue;
                std::string propias, ajenas;
                for (const auto& f : r.Fields) {
                    propias += (propias.empty() ? "" : ", ") + Id(f.Name);
                    ajenas += (ajenas.empty() ? "" : ", ") + Id(f.ForeignName);
                }
                const std::string hija = donde(r.ForeignTable);
                cond += " OR (" + propias + ") IN (SELECT " + ajenas + " FROM " +
                        Tabla(r.ForeignTable) + (hija.empty() ? "" : " WHERE " + hija) + ")";
            }
            enCurso.erase(clave);
            return hecho[clave] = cond;
        };
        for (auto& c : copias) c.where = donde(c.name);
        return copias;
    }

    // The tables the read ones refer to, which the copy's foreign keys need; no variant
    // changes them unless the statements read them too.
    void AnadirReferidas() {
        engine::Error error;
        const auto& relaciones = usuario_.Relations(error);
        if (error.failed())
            return;
        auto copiada = [&](const std::string& nombre) {
            for (const auto& t : tablas_)
                if (Minusculas(t.def.Name) == Minusculas(nombre))
                    return true;
            return false;
        };
        for (std::size_t i = 0; i < tablas_.size(); ++i)
            for (const auto& r : relaciones)
                if (Minusculas(r.ForeignTable) == Minusculas(tablas_[i].def.Name) &&
                    !copiada(r.Table))
                    for (auto& def : todas_)
                        if (Minusculas(def.Name) == Minusculas(r.Table))
                            tablas_.push_back({def, {}, {}});
    }

    bool Copiar() {
        usuario_.SetDeadline(limite_);
        engine::Error error;
        auto copia = Database::OpenMemoryCopy(usuario_, Seleccion(), error);
        usuario_.ClearDeadline();
        if (!copia)
            return false;
        copia->SetDeadline(limite_);
        std::vector<std::string> nombres;
        for (const auto& t : tablas_) nombres.push_back(t.def.Name);
        const auto& relaciones = usuario_.Relations(error);
        copia_ =
            std::make_unique<CopiaRestringida>(std::move(copia), std::move(nombres), relaciones);
        return true;
    }

    // Each used column's type, some of its values, and the values variants write into it.
    void LeerColumnas() {
        for (auto& t : tablas_) {
            std::set<std::string> claves;
            for (const auto& ix : t.def.Indexes)
                if (ix.Unique || ix.Primary)
                    for (const auto& f : ix.Fields) claves.insert(Minusculas(f));
            for (auto& c : t.usadas) {
                c.clave = claves.count(Minusculas(c.nombre)) > 0;
                if (auto rs =
                        Ejecutar("SELECT DISTINCT " + Id(c.nombre) + " FROM " + Tabla(t.def.Name) +
                                 " WHERE " + Id(c.nombre) + " IS NOT NULL LIMIT 6"))
                    for (std::size_t i = 0; i < rs->RecordCount(); ++i)
                        c.muestra.push_back(rs->Row(i)[0]);
                for (const auto& f : t.def.Fields)
                    if (f.Name == c.nombre)
                        c.dominio = Dominio::De(f, c.muestra);
                c.valores = ValoresPara(c.dominio, LiteralesDe(t.def.Name, c.nombre), c.muestra);
            }
        }
        ElegirFilas();
    }

    // The literals a column is compared with in the statements' conditions, and those no
    // condition places (compared with an expression, in a HAVING...), which any column may
    // meet.
    Literales LiteralesDe(const std::string& tabla, const std::string& columna) {
        std::vector<std::string_view> suyas;
        Literales colocados;
        for (const auto& l : lecturas_)
            for (const auto& cond : l.condiciones) {
                const Literales x = LeerLiterales({cond.expresion});
                colocados.numeros.insert(colocados.numeros.end(), x.numeros.begin(),
                                         x.numeros.end());
                colocados.textos.insert(colocados.textos.end(), x.textos.begin(), x.textos.end());
                if (Minusculas(cond.tabla) == Minusculas(tabla) &&
                    Minusculas(cond.columna) == Minusculas(columna))
                    suyas.push_back(cond.expresion);
            }
        Literales l = LeerLiterales(suyas);
        for (double n : literales_.numeros)
            if (std::find(colocados.numeros.begin(), colocados.numeros.end(), n) ==
                    colocados.numeros.end() &&
                std::find(l.numeros.begin(), l.numeros.end(), n) == l.numeros.end())
                l.numeros.push_back(n);
        for (const std::string& t : literales_.textos)
            if (std::find(colocados.textos.begin(), colocados.textos.end(), t) ==
                    colocados.textos.end() &&
                std::find(l.textos.begin(), l.textos.end(), t) == l.textos.end())
                l.textos.push_back(t);
        return l;
    }

    // The rows one-row variants change in each table: rows the statements' outer queries
    // use (those a change there shows in the result), then the first ones.
    void ElegirFilas() {
        for (auto& t : tablas_) {
            t.filas.clear();
            for (const auto& l : lecturas_)
                for (const auto& b : l.bloques) {
                    if (!b.exterior)
                        continue;
                    for (const auto& tn : b.tablas)
                        if (Minusculas(tn.tabla) == Minusculas(t.def.Name))
                            AnadirFilas(
                                t, FilasPorClave(t.def, tn.alias,
                                                 " FROM " + b.desde +
                                                     (b.donde.empty() ? "" : " WHERE " + b.donde) +
                                                     " LIMIT 2"));
                }
            t.usadas_filas = t.filas.size();
            AnadirFilas(t, "SELECT rowid FROM " + Tabla(t.def.Name) + " LIMIT 3");
        }
    }

    void AnadirFilas(TablaLeida& t, const std::string& sql) {
        if (auto rs = Ejecutar(sql))
            for (std::size_t i = 0; i < rs->RecordCount(); ++i) {
                const Value& v = rs->Row(i)[0];
                if (v.type == engine::ValueType::Integer &&
                    std::find(t.filas.begin(), t.filas.end(), v.integer) == t.filas.end())
                    t.filas.push_back(v.integer);
            }
    }

    bool SolucionSinInformacion() {
        auto rs = Ejecutar(solucion_);
        return rs && SinInformacion(*rs);
    }

    // ---------------------------------------------------------------- reaching the conditions

    // Whether `v` meets every condition in `conds` (all on one column).
    bool Cumple(const std::vector<const CondicionColumna*>& conds, const Columna& c,
                const Value& v) {
        std::string expr;
        std::vector<Value> parametros;
        const bool texto = c.dominio.clase == Dominio::Clase::Texto;
        for (const auto* cond : conds) {
            std::string e = cond->expresion;
            // A column of text compares ignoring letter case, as the statements see it.
            if (texto) {
                const std::string conOrden = "(? COLLATE es_ci)";
                for (std::size_t p = 0; (p = e.find('?', p)) != std::string::npos;
                     p += conOrden.size())
                    e.replace(p, 1, conOrden);
            }
            expr += (expr.empty() ? "" : " AND ") + ("(" + e + ")");
            for (int k = 0; k < cond->veces; ++k) parametros.push_back(v);
        }
        engine::Error error;
        const Value r = copia_->bd().Scalar("SELECT CASE WHEN " + expr + " THEN 1 ELSE 0 END",
                                            error, parametros);
        return !error.failed() && r.toInt() == 1;
    }

    Columna* BuscarColumna(const std::string& tabla, const std::string& columna,
                           TablaLeida** t = nullptr) {
        for (auto& x : tablas_)
            if (Minusculas(x.def.Name) == Minusculas(tabla))
                for (auto& c : x.usadas)
                    if (Minusculas(c.nombre) == Minusculas(columna)) {
                        if (t)
                            *t = &x;
                        return &c;
                    }
        return nullptr;
    }

    // Rows of each table a block reads, joined as it joins them: those a base changes.
    std::map<std::string, std::vector<std::int64_t>> FilasDelBloque(const Bloque& b) {
        std::map<std::string, std::vector<std::int64_t>> filas;
        const std::string unidas =
            " FROM " + b.desde + (b.uniones.empty() ? "" : " WHERE " + Lista(b.uniones, " AND ")) +
            " LIMIT " + std::to_string(kFilasBase);
        for (const auto& tn : b.tablas) {
            auto& lista = filas[Minusculas(tn.tabla)];
            for (const auto& t : tablas_)
                if (Minusculas(t.def.Name) == Minusculas(tn.tabla))
                    lista = Rowids(FilasPorClave(t.def, tn.alias, unidas));
            if (lista.empty())
                lista = Rowids("SELECT rowid FROM " + Tabla(tn.tabla) + " LIMIT " +
                               std::to_string(kFilasBase));
        }
        return filas;
    }

    std::vector<std::int64_t> Rowids(const std::string& sql) {
        std::vector<std::int64_t> ids;
        if (auto rs = Ejecutar(sql))
            for (std::size_t i = 0; i < rs->RecordCount(); ++i)
                if (rs->Row(i)[0].type == engine::ValueType::Integer)
                    ids.push_back(rs->Row(i)[0].integer);
        return ids;
    }

    // The rows of `def` a query reading it as `alias` gives (`resto`: its FROM onwards).
    // Statements read a table through a view that has no rowid, so its rows are found again
    // by their key (all their values when it has none).
    static std::string FilasPorClave(const engine::TableDef& def, const std::string& alias,
                                     const std::string& resto) {
        std::vector<std::string> clave;
        for (const auto& ix : def.Indexes)
            if (clave.empty() && ix.Primary)
                clave = ix.Fields;
        for (const auto& ix : def.Indexes)
            if (clave.empty() && ix.Unique && !ix.Foreign)
                clave = ix.Fields;
        if (clave.empty())
            for (const auto& f : def.Fields) clave.push_back(f.Name);
        std::string propias, suyas;
        for (const auto& c : clave) {
            propias += (propias.empty() ? "" : ", ") + Id(c);
            suyas += (suyas.empty() ? "" : ", ") + Id(alias) + "." + Id(c);
        }
        return "SELECT rowid FROM " + Tabla(def.Name) + " WHERE (" + propias + ") IN (SELECT " +
               suyas + resto + ")";
    }

    // For each statement, a change that makes some rows meet its conditions on one column
    // each: those rows, joined as the statement joins them, take a value inside what the
    // conditions ask.
    std::vector<Variante> Bases() {
        std::vector<Variante> bases;
        for (const auto& l : lecturas_) {
            Cambio c;
            std::vector<std::string> textos;
            for (std::size_t b = 0; b < l.bloques.size(); ++b) {
                // The conditions of the block, by column.
                std::map<std::pair<std::string, std::string>, std::vector<const CondicionColumna*>>
                    porColumna;
                for (const auto& cond : l.condiciones)
                    if (cond.bloque == b)
                        porColumna[{Minusculas(cond.tabla), Minusculas(cond.columna)}].push_back(
                            &cond);
                if (porColumna.empty())
                    continue;
                const auto filas = FilasDelBloque(l.bloques[b]);
                for (const auto& [clave, conds] : porColumna) {
                    TablaLeida* t = nullptr;
                    Columna* col = BuscarColumna(conds.front()->tabla, conds.front()->columna, &t);
                    const auto f = filas.find(clave.first);
                    if (!col || f == filas.end() || f->second.empty())
                        continue;
                    std::optional<Value> elegido;
                    for (const auto* lista :
                         {&col->valores.cercanos, &col->valores.otros, &col->muestra})
                        for (const Value& v : *lista)
                            if (!elegido && Cumple(conds, *col, v))
                                elegido = v;
                    if (!elegido)
                        continue;
                    std::string ids;
                    for (auto id : f->second) ids += (ids.empty() ? "" : ", ") + std::to_string(id);
                    c.pasos.push_back({"UPDATE " + Tabla(t->def.Name) + " SET " + Id(col->nombre) +
                                           " = ? WHERE rowid IN (" + ids + ")",
                                       {*elegido}});
                    c.tablas.push_back(t->def.Name);
                    c.columnas.push_back(col->nombre);
                    textos.push_back(Sustituir(
                        Texto(2013), {col->nombre, elegido->toSpanishText(), t->def.Name}));
                }
            }
            if (c.pasos.empty())
                continue;
            std::string texto;
            for (const auto& t : textos) texto = texto.empty() ? t : YAdemas(texto, t);
            bases.emplace_back(texto, std::move(c));
        }
        return bases;
    }

    // ---------------------------------------------------------------- the variants

    static std::string UnaFila(std::int64_t id) { return " WHERE rowid = " + std::to_string(id); }

    // A change of one column of `t` to `valor` (an expression) in the rows `donde` says.
    static Variante Poner(const TablaLeida& t, const Columna& c, std::string texto,
                          const std::string& valor, const std::string& donde = {},
                          std::vector<Value> parametros = {}) {
        Variante v{std::move(texto), t.def.Name,
                   "UPDATE " + Tabla(t.def.Name) + " SET " + Id(c.nombre) + " = " + valor + donde,
                   std::move(parametros)};
        v.datos.columnas = {c.nombre};
        return v;
    }

    using Prueba = std::function<bool(const Variante&)>;

    static bool ProbarTodas(const std::vector<Variante>& variantes, const Prueba& probar) {
        for (const auto& v : variantes)
            if (!probar(v))
                return false;
        return true;
    }

    // The variants, most telling first; `probar` returns false to stop.
    void Variantes(const Prueba& probar) {
        std::vector<Variante> despues;
        if (Copias(probar) && Empates(probar) && FilasDeMenos(probar) &&
            ColumnaPorColumna(probar, despues) && UnValorEnTodas(probar) &&
            MayusculasYMinusculas(probar) && Vaciados(probar))
            ProbarTodas(despues, probar);
    }

    // Repeated rows: all of them, each table's, the same name under another key.
    bool Copias(const Prueba& probar) {
        if (!probar(DuplicarTodo()))
            return false;
        for (const auto& t : tablas_)
            if (!probar(Duplicar(t.def)))
                return false;
        for (const auto& t : tablas_)
            if (!ProbarTodas(MismoNombre(t), probar))
                return false;
        return true;
    }

    bool Empates(const Prueba& probar) {
        for (const auto& t : tablas_)
            for (const auto& c : t.usadas)
                if (!c.clave)
                    for (const char* f : {"max", "min"})
                        if (!probar(Empate(t, c, f)))
                            return false;
        return true;
    }

    // A row fewer: averages over another count, a top row gone.
    bool FilasDeMenos(const Prueba& probar) {
        for (const auto& t : tablas_) {
            if (!t.filas.empty() && !probar(UnaFilaMenos(t)))
                return false;
            for (const auto& c : t.usadas)
                if (!c.clave && ((c.muestra.size() >= 2 && !probar(Mitades(t, c))) ||
                                 !probar(FilaMenosYUnoMas(t, c))))
                    return false;
        }
        return true;
    }

    Variante UnaFilaMenos(const TablaLeida& t) {
        Variante v{Sustituir(Texto(2019), {t.def.Name}),
                   t.def.Name,
                   "DELETE FROM " + Tabla(t.def.Name) + UnaFila(t.filas[0]),
                   {},
                   true};
        v.conArrastre = Sustituir(Texto(2020), {t.def.Name, "%1"});
        return v;
    }

    // Column by column: a null, values near the literals, numbers that tell aggregates
    // apart. One row changed makes the smaller example: a row the statements use and one
    // they do not are tried at once, the others (kept in `despues`) at the end; all the
    // rows, the surer one.
    bool ColumnaPorColumna(const Prueba& probar, std::vector<Variante>& despues) {
        for (const auto& t : tablas_)
            for (const auto& c : t.usadas)
                if (!ValoresDeColumna(t, c, probar, despues))
                    return false;
        return true;
    }

    bool ValoresDeColumna(const TablaLeida& t, const Columna& c, const Prueba& probar,
                          std::vector<Variante>& despues) {
        auto enFilas = [&](int texto, const std::string& valor, const std::string& muestra,
                           const std::vector<Value>& ps) {
            for (std::size_t k = 0; k < t.filas.size(); ++k) {
                Variante v = Poner(t, c, Sustituir(Texto(texto), {c.nombre, muestra, t.def.Name}),
                                   valor, UnaFila(t.filas[k]), ps);
                if (k != 0 && k != t.usadas_filas)
                    despues.push_back(std::move(v));
                else if (!probar(v))
                    return false;
            }
            return true;
        };
        if (!enFilas(1801, "NULL", t.def.Name, {}) ||
            !probar(Poner(t, c, Sustituir(Texto(1802), {c.nombre, t.def.Name}), "NULL")))
            return false;
        for (const Value& v : c.valores.cercanos)
            if (!enFilas(1804, "?", v.toSpanishText(), {v}) ||
                !probar(Poner(t, c,
                              Sustituir(Texto(1805), {c.nombre, v.toSpanishText(), t.def.Name}),
                              "?", {}, {v})))
                return false;
        for (const Value& v : c.valores.otros)
            if (!enFilas(1804, "?", v.toSpanishText(), {v}))
                return false;
        return true;
    }

    // One value in every row: the groups and repeated values a key used to keep apart.
    bool UnValorEnTodas(const Prueba& probar) {
        for (const auto& t : tablas_)
            for (const auto& c : t.usadas)
                if (!c.muestra.empty() &&
                    !probar(Poner(t, c,
                                  Sustituir(Texto(1805),
                                            {c.nombre, c.muestra[0].toSpanishText(), t.def.Name}),
                                  "?", {}, {c.muestra[0]})))
                    return false;
        return true;
    }

    // Texts in another case: what a comparison ignoring case must still match.
    bool MayusculasYMinusculas(const Prueba& probar) {
        for (const auto& t : tablas_)
            for (const auto& c : t.usadas)
                if (c.dominio.clase == Dominio::Clase::Texto)
                    for (const char* f : {"upper", "lower"})
                        if (!probar(Poner(t, c, Sustituir(Texto(1806), {c.nombre, t.def.Name}),
                                          std::string(f) + "(" + Id(c.nombre) + ")")))
                            return false;
        return true;
    }

    // The rows referring to the emptied table's go with them; the change says so.
    bool Vaciados(const Prueba& probar) {
        for (const auto& t : tablas_) {
            Variante v{Sustituir(Texto(1807), {t.def.Name}),
                       t.def.Name,
                       "DELETE FROM " + Tabla(t.def.Name),
                       {},
                       true};
            v.conArrastre = Sustituir(Texto(2010), {t.def.Name, "%1"});
            if (!probar(v))
                return false;
        }
        return true;
    }

    // The expression giving a copied row a new value in a column of a unique key, in the
    // copy of `tabla`; the same expression gives the rows referring to it their new
    // reference. Empty when the column takes no new value.
    std::string NuevaClave(const std::string& tabla, const std::string& columna,
                           const std::string& valor) {
        const auto clave = Minusculas(tabla) + "\x1f" + Minusculas(columna);
        auto it = nuevas_.find(clave);
        if (it == nuevas_.end())
            return {};
        return it->second.empty() ? std::string() : Sustituir(it->second, {valor});
    }

    // For each column of a unique key, the expression of its new value (%1 the old one):
    // a number beyond the largest one, a text with a mark the data never holds.
    void PrepararClaves() {
        if (clavesListas_)
            return;
        clavesListas_ = true;
        for (const auto& t : tablas_)
            for (const auto& ix : t.def.Indexes) {
                if (!(ix.Unique || ix.Primary))
                    continue;
                for (const auto& f : ix.Fields) {
                    const auto clave = Minusculas(t.def.Name) + "\x1f" + Minusculas(f);
                    if (nuevas_.count(clave))
                        continue;
                    std::string expr;
                    for (const auto& campo : t.def.Fields) {
                        if (campo.Name != f)
                            continue;
                        const Dominio d = Dominio::De(campo, {});
                        if (d.clase == Dominio::Clase::Entero ||
                            d.clase == Dominio::Clase::Numero) {
                            auto rs = Ejecutar("SELECT max(abs(" + Id(f) + ")) FROM " +
                                               Tabla(t.def.Name));
                            const std::int64_t salto =
                                rs && rs->RecordCount() ? rs->Row(0)[0].toInt() + 1 : 1;
                            expr = "(%1 + " + std::to_string(salto) + ")";
                        } else if (d.clase == Dominio::Clase::Texto) {
                            expr = d.longitud > 2
                                       ? "(substr(%1, 1, " + std::to_string(d.longitud - 2) +
                                             ") || '~2')"
                                   : d.longitud < 0 ? "(%1 || '~2')"
                                                    : "";
                        }
                    }
                    nuevas_[clave] = expr;
                }
            }
    }

    // Every row of every table again, with new keys; the copies refer to the copies: the
    // same data twice, so that each group, each name and each top value has a twin.
    Variante DuplicarTodo() {
        PrepararClaves();
        Cambio c;
        for (const auto& t : tablas_) {
            std::map<std::string, std::string> expr;
            // A reference follows its row's copy.
            for (const auto* r : copia_->Padres(t.def.Name))
                for (const auto& f : r->Fields) {
                    const std::string e = NuevaClave(r->Table, f.Name, Id(f.ForeignName));
                    if (!e.empty())
                        expr[f.ForeignName] = e;
                }
            bool unica = true;
            for (const auto& ix : t.def.Indexes) {
                if (!(ix.Unique || ix.Primary))
                    continue;
                bool cambia = false;
                for (const auto& f : ix.Fields) cambia |= expr.count(f) > 0;
                for (std::size_t k = ix.Fields.size(); !cambia && k-- > 0;) {
                    const std::string e = NuevaClave(t.def.Name, ix.Fields[k], Id(ix.Fields[k]));
                    if (!e.empty()) {
                        expr[ix.Fields[k]] = e;
                        cambia = true;
                    }
                }
                unica &= cambia;
            }
            if (!unica)
                return {Texto(2015), Cambio{}};
            std::string columnas;
            for (const auto& f : t.def.Fields)
                columnas += (columnas.empty() ? "" : ", ") +
                            (expr.count(f.Name) ? expr[f.Name] : Id(f.Name));
            c.pasos.push_back({"INSERT INTO " + Tabla(t.def.Name) + " SELECT " + columnas +
                                   " FROM " + Tabla(t.def.Name),
                               {}});
            c.tablas.push_back(t.def.Name);
        }
        return {Texto(2015), std::move(c)};
    }

    // Every row again, with new values in one column of each unique key: the same data
    // twice, and rows no other table refers to.
    Variante Duplicar(const engine::TableDef& def) {
        std::set<std::string> referentes;
        for (const auto* r : copia_->Padres(def.Name))
            for (const auto& f : r->Fields) referentes.insert(Minusculas(f.ForeignName));
        PrepararClaves();
        std::map<std::string, std::string> expr;
        for (const auto& ix : def.Indexes) {
            if (!(ix.Unique || ix.Primary) || ix.Fields.empty())
                continue;
            bool cubierto = false;
            for (const auto& f : ix.Fields) cubierto |= expr.count(f) > 0;
            if (cubierto)
                continue;
            // A new value where the key refers to no other table (the last field of a key of
            // several is the likeliest).
            std::string nueva = ix.Fields.back();
            for (const auto& f : ix.Fields)
                if (!referentes.count(Minusculas(f)))
                    nueva = f;
            expr[nueva] = NuevaClave(def.Name, nueva, Id(nueva));
        }
        std::string columnas;
        for (const auto& f : def.Fields)
            columnas += (columnas.empty() ? "" : ", ") +
                        (expr.count(f.Name) && !expr[f.Name].empty() ? expr[f.Name] : Id(f.Name));
        return {
            Sustituir(Texto(1803), {def.Name}), def.Name,
            "INSERT INTO " + Tabla(def.Name) + " SELECT " + columnas + " FROM " + Tabla(def.Name)};
    }

    // Two rows the statements use with the same values in the columns they name that are
    // no key: the same name under two keys.
    std::vector<Variante> MismoNombre(const TablaLeida& t) {
        std::vector<std::string> cols;
        for (const auto& c : t.usadas)
            if (!c.clave)
                cols.push_back(c.nombre);
        if (cols.empty() || t.filas.size() < 2)
            return {};
        std::vector<Variante> vs;
        auto igualar = [&](const std::vector<std::string>& cs) {
            std::string lista;
            for (const auto& c : cs) lista += (lista.empty() ? "" : ", ") + Id(c);
            vs.push_back({Sustituir(Texto(2016), {t.def.Name, Lista(cs)}), t.def.Name,
                          "UPDATE " + Tabla(t.def.Name) + " SET (" + lista + ") = (SELECT " +
                              lista + " FROM " + Tabla(t.def.Name) + UnaFila(t.filas[0]) + ")" +
                              UnaFila(t.filas[1])});
            vs.back().datos.columnas = cs;
        };
        igualar(cols);
        if (cols.size() > 1)
            for (const auto& c : cols) igualar({c});
        return vs;
    }

    // Another row with the same top (or bottom) value of a column: a tie.
    Variante Empate(const TablaLeida& t, const Columna& c, const char* f) {
        const std::string T = Tabla(t.def.Name), C = Id(c.nombre);
        const std::string extremo = "(SELECT " + std::string(f) + "(" + C + ") FROM " + T + ")";
        const bool mayor = std::string(f) == "max";
        return Poner(t, c, Sustituir(Texto(mayor ? 2017 : 2018), {t.def.Name, c.nombre}), extremo,
                     " WHERE rowid = (SELECT rowid FROM " + T + " WHERE " + C +
                         (mayor ? " < " : " > ") + extremo + " ORDER BY " + C +
                         (mayor ? " DESC" : "") + " LIMIT 1)");
    }

    // Half the rows with one value of a column and half with another (a third one for a row
    // left over): groups of the same size, ties of counts.
    Variante Mitades(const TablaLeida& t, const Columna& c) {
        const std::string T = Tabla(t.def.Name);
        const Value& a = c.muestra[0];
        const Value& b = c.muestra[1];
        const Value& resto = c.muestra.size() > 2 ? c.muestra[2] : a;
        Variante v{
            Sustituir(Texto(2021), {c.nombre, a.toSpanishText(), b.toSpanishText(), t.def.Name}),
            t.def.Name,
            "UPDATE " + T + " SET " + Id(c.nombre) +
                " = x.v FROM (SELECT a.rowid AS r, CASE WHEN row_number() OVER (ORDER BY "
                "a.rowid) <= k.h THEN ? WHEN row_number() OVER (ORDER BY a.rowid) <= 2 * k.h "
                "THEN ? ELSE ? END AS v FROM " +
                T + " AS a, (SELECT count(*) / 2 AS h FROM " + T + ") AS k) AS x WHERE " + T +
                ".rowid = x.r",
            {a, b, resto}};
        v.datos.columnas = {c.nombre};
        return v;
    }

    // A row fewer and one more unit in another row's number: an average over a count that
    // no longer divides its sum, where one side rounds it.
    Variante FilaMenosYUnoMas(const TablaLeida& t, const Columna& c) {
        if (!c.dominio.Numerico() || c.dominio.clase == Dominio::Clase::SiNo || t.filas.size() < 2)
            return {{}, Cambio{}};
        auto rs = Ejecutar("SELECT " + Id(c.nombre) + " + 1 FROM " + Tabla(t.def.Name) +
                           UnaFila(t.filas[1]));
        if (!rs || rs->RecordCount() == 0 || !rs->Row(0)[0].isNumber())
            return {{}, Cambio{}};
        const Value v = rs->Row(0)[0];
        const std::string valor = Sustituir(Texto(1804), {c.nombre, v.toSpanishText(), t.def.Name});
        Variante r{YAdemas(Sustituir(Texto(2019), {t.def.Name}), valor),
                   Cambio{{{"DELETE FROM " + Tabla(t.def.Name) + UnaFila(t.filas[0]), {}},
                           {"UPDATE " + Tabla(t.def.Name) + " SET " + Id(c.nombre) + " = ?" +
                                UnaFila(t.filas[1]),
                            {v}}},
                          {t.def.Name},
                          true,
                          {}}};
        r.conArrastre = YAdemas(Sustituir(Texto(2020), {t.def.Name, "%1"}), valor);
        return r;
    }

    // ---------------------------------------------------------------- trying one

    std::unique_ptr<engine::Recordset> Ejecutar(std::string_view sql) {
        engine::Error error;
        auto rs = copia_->bd().OpenRecordset(sql, error);
        if (!rs || error.failed())
            return nullptr;
        rs->MoveLast();
        if (rs->Error().failed())
            return nullptr;
        rs->MoveFirst();
        return rs;
    }

    static FilasEjemplo Ejemplo(const engine::Recordset& rs) {
        FilasEjemplo e;
        for (int c = 0; c < rs.FieldCount(); ++c) e.columnas.push_back(rs.FieldName(c));
        for (std::size_t i = 0; i < rs.RecordCount() && i < kFilasContraejemplo; ++i)
            e.filas.push_back(rs.Row(i));
        return e;
    }

    std::optional<Contraejemplo> Probar(const Variante& v, const std::string& prefijo) {
        if (v.datos.pasos.empty())
            return std::nullopt;
        // A change the schema would not allow is no database the statements could meet.
        std::vector<std::string> arrastradas;
        if (!copia_->Aplicar(v.datos, &arrastradas))
            return std::nullopt;
        std::optional<Contraejemplo> hallado;
        auto sol = Ejecutar(solucion_);
        auto resp = sol ? Ejecutar(respuesta_) : nullptr;
        if (sol && resp && !MismosResultados(*resp, *sol)) {
            std::string cambio = v.cambio;
            if (!arrastradas.empty() && !v.conArrastre.empty())
                cambio = Sustituir(v.conArrastre, {Lista(arrastradas)});
            if (!prefijo.empty())
                cambio = YAdemas(prefijo, cambio);
            hallado = Contraejemplo{cambio, Ejemplo(*resp), Ejemplo(*sol)};
        }
        copia_->Deshacer();
        return hallado;
    }

    Database& usuario_;
    std::string solucion_, respuesta_;
    std::vector<std::string> traducidas_;
    Clock::time_point limite_;
    std::vector<engine::TableDef> todas_;
    std::vector<TablaLeida> tablas_;  // read by the statements first, then those they refer to
    std::unique_ptr<CopiaRestringida> copia_;
    std::vector<LecturaSql> lecturas_;
    Literales literales_;
    std::map<std::string, std::string> nuevas_;  // NuevaClave's expressions
    bool clavesListas_ = false;
};

}  // namespace

std::optional<Contraejemplo> BuscarContraejemplo(Database& usuario, std::string_view solucion,
                                                 std::string_view respuesta,
                                                 std::chrono::milliseconds presupuesto) {
    if (usuario.kind() != Database::Kind::User || !usuario.IsOpen() || presupuesto.count() <= 0)
        return std::nullopt;
    return Busqueda(usuario, solucion, respuesta, std::chrono::steady_clock::now() + presupuesto)
        .Buscar();
}

}  // namespace veliora
