#include "core/practice/contraejemplo.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

#include "core/practice/comprobar.h"
#include "core/practice/copia_restringida.h"
#include "core/practice/piezas_sql.h"
#include "core/shell/textos.h"

namespace veliora {

namespace {

using engine::Database;
using engine::Value;
namespace TC = engine::TypeCode;
using Clock = std::chrono::steady_clock;

// Tables up to this size are copied whole; larger ones by a sample of this many rows (and
// the rows their sampled neighbours refer to).
constexpr std::int64_t kFilasCopiaEntera = 2000;
constexpr std::int64_t kFilasMuestra = 300;

bool Entero(int tipo) {
    return tipo == TC::Boolean || tipo == TC::Byte || tipo == TC::Integer || tipo == TC::Long ||
           tipo == TC::BigInt;
}
bool Numerico(int tipo) {
    return Entero(tipo) || tipo == TC::Currency || tipo == TC::Single || tipo == TC::Double ||
           tipo == TC::Numeric || tipo == TC::Decimal || tipo == TC::Float;
}
bool Fecha(int tipo) {
    return tipo == TC::Date || tipo == TC::TimeStamp;
}
bool DeTexto(int tipo) {
    return tipo == TC::Text || tipo == TC::Memo || tipo == TC::Char;
}

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

struct Variante {
    std::string cambio;
    Cambio datos;
    // A change of one table by one statement; one that deletes takes the rows referring to
    // the deleted ones with it.
    Variante(std::string texto, const std::string& tabla, std::string sql,
             std::vector<Value> parametros = {}, bool borra = false)
        : cambio(std::move(texto)),
          datos{{{std::move(sql), std::move(parametros)}}, {tabla}, borra} {}
};

// An ISO date moved by `dias`, or an ISO date and time ("yyyy-mm-dd hh:nn:ss") moved by
// `segundos`; empty when it is not one. A date keeps what follows it.
std::string MoverFecha(const std::string& iso, int dias, int segundos = 0) {
    using namespace std::chrono;
    if (iso.size() < 10 || iso[4] != '-' || iso[7] != '-')
        return {};
    int a = 0, m = 0, d = 0, h = 0, n = 0, sg = 0;
    if (std::sscanf(iso.c_str(), "%4d-%2d-%2d", &a, &m, &d) != 3)
        return {};
    const year_month_day ymd{year{a}, month{unsigned(m)}, day{unsigned(d)}};
    if (!ymd.ok())
        return {};
    if (segundos == 0) {
        const year_month_day nuevo{sys_days{ymd} + days{dias}};
        char texto[16];
        std::snprintf(texto, sizeof texto, "%04d-%02u-%02u", int(nuevo.year()),
                      unsigned(nuevo.month()), unsigned(nuevo.day()));
        return texto + iso.substr(10);
    }
    if (iso.size() != 19 || std::sscanf(iso.c_str() + 10, " %2d:%2d:%2d", &h, &n, &sg) != 3 ||
        h > 23 || n > 59 || sg > 59)
        return {};
    const sys_seconds t = sys_days{ymd} + hours{h} + minutes{n} + seconds{sg + segundos};
    const auto dia = floor<days>(t);
    const year_month_day f{dia};
    const hh_mm_ss<seconds> hora{t - dia};
    char texto[24];
    std::snprintf(texto, sizeof texto, "%04d-%02u-%02u %02d:%02d:%02d", int(f.year()),
                  unsigned(f.month()), unsigned(f.day()), int(hora.hours().count()),
                  int(hora.minutes().count()), int(hora.seconds().count()));
    return texto;
}

struct Literales {
    std::vector<double> numeros;
    std::vector<std::string> textos;
};

Literales LeerLiterales(const std::vector<Pieza>& ps, Literales l = {}) {
    for (const Pieza& p : ps) {
        if (p.tipo == Pieza::Tipo::Numero) {
            char* fin = nullptr;
            const double v = std::strtod(p.valor.c_str(), &fin);
            if (fin && *fin == '\0' &&
                std::find(l.numeros.begin(), l.numeros.end(), v) == l.numeros.end())
                l.numeros.push_back(v);
        } else if (p.tipo == Pieza::Tipo::Texto &&
                   std::find(l.textos.begin(), l.textos.end(), p.valor) == l.textos.end()) {
            l.textos.push_back(p.valor);
        }
    }
    return l;
}

// The values just below, at and just above the literals, as a column of type `tipo` holds.
std::vector<Value> ValoresFrontera(const Literales& l, int tipo) {
    std::vector<Value> vs;
    auto anadir = [&](Value v) {
        for (const Value& x : vs)
            if (engine::SameValue(x, v))
                return;
        vs.push_back(std::move(v));
    };
    if (Numerico(tipo)) {
        for (double n : l.numeros) {
            if (Entero(tipo)) {
                const auto a = std::int64_t(std::floor(n)), b = std::int64_t(std::ceil(n));
                for (std::int64_t v : {a, b, a - 1, b + 1})
                    // A yes/no column holds 0 and 1 only.
                    if (tipo != TC::Boolean || v == 0 || v == 1)
                        anadir(Value::Int(v));
            } else {
                for (double v : {n, n - 0.01, n + 0.01, n - 1, n + 1}) anadir(Value::Double(v));
            }
        }
    } else if (Fecha(tipo)) {
        // A day either side, and for a moment of a day a second either side.
        for (const std::string& t : l.textos)
            for (auto [dias, segundos] : {std::pair{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                std::string f = MoverFecha(t, dias, segundos);
                if (!f.empty())
                    anadir(Value::Text(std::move(f)));
            }
    } else if (DeTexto(tipo)) {
        for (const std::string& t : l.textos) {
            anadir(Value::Text(t));
            // A value the pattern of a LIKE matches.
            std::string ejemplo;
            for (char c : t)
                if (c != '%')
                    ejemplo += c == '_' ? 'x' : c;
            anadir(Value::Text(ejemplo));
        }
    }
    return vs;
}

struct TablaLeida {
    engine::TableDef def;
    std::vector<std::string> usadas;  // its columns the statements name
};

class Busqueda {
  public:
    Busqueda(Database& usuario, std::string_view solucion, std::string_view respuesta,
             Clock::time_point limite)
        : usuario_(usuario), solucion_(solucion), respuesta_(respuesta), limite_(limite) {}

    std::optional<Contraejemplo> Buscar() {
        const auto pSol = Trocear(engine::TranslateDialect(solucion_));
        const auto pResp = Trocear(engine::TranslateDialect(respuesta_));
        if (!LeerTablas(pSol, pResp))
            return std::nullopt;
        if (!Copiar())
            return std::nullopt;
        const Literales literales = LeerLiterales(pResp, LeerLiterales(pSol));
        std::optional<Contraejemplo> hallado;
        Variantes(literales, [&](const Variante& v) {
            if (Clock::now() >= limite_)
                return false;
            hallado = Probar(v);
            return !hallado;
        });
        return hallado;
    }

  private:
    bool LeerTablas(const std::vector<Pieza>& a, const std::vector<Pieza>& b) {
        std::set<std::string> nombres;
        for (const auto* ps : {&a, &b})
            for (const Pieza& p : *ps)
                if (p.tipo == Pieza::Tipo::Nombre)
                    nombres.insert(Minusculas(p.valor));
        engine::EngineError error;
        auto defs = usuario_.TableDefs(error);
        if (error.failed())
            return false;
        todas_ = defs;
        for (auto& def : defs) {
            if (def.Attributes != 0 || !nombres.count(Minusculas(def.Name)))
                continue;
            TablaLeida t{std::move(def), {}};
            for (const auto& f : t.def.Fields)
                if (nombres.count(Minusculas(f.Name)))
                    t.usadas.push_back(f.Name);
            tablas_.push_back(std::move(t));
        }
        return !tablas_.empty();
    }

    // Condition of the rows copied of each table: all, or a sample closed under the
    // relations between the copied tables, so that no copied row loses its partner.
    std::vector<Database::TableCopy> Seleccion() {
        engine::EngineError error;
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
        engine::EngineError error;
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
                            tablas_.push_back({def, {}});
    }

    bool Copiar() {
        usuario_.SetDeadline(limite_);
        engine::EngineError error;
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

    // The variants, most telling first; `probar` returns false to stop.
    void Variantes(const Literales& literales, const std::function<bool(const Variante&)>& probar) {
        std::vector<Variante> unaFila;
        auto fila = [](const std::string& tabla, std::int64_t k) {
            return " WHERE rowid = (SELECT rowid FROM " + Tabla(tabla) + " LIMIT 1 OFFSET " +
                   std::to_string(k) + ")";
        };
        std::vector<std::int64_t> posiciones{1, 2};

        for (const auto& t : tablas_)
            if (!probar(Duplicar(t.def)))
                return;
        for (const auto& t : tablas_) {
            for (const auto& c : t.usadas) {
                const std::string set = "UPDATE " + Tabla(t.def.Name) + " SET " + Id(c) + " = NULL";
                // One row changed makes the smaller example; all of them, the surer one.
                if (!probar({Sustituir(Texto(1801), {c, t.def.Name}), t.def.Name,
                             set + fila(t.def.Name, 0)}) ||
                    !probar({Sustituir(Texto(1802), {c, t.def.Name}), t.def.Name, set}))
                    return;
                for (auto k : posiciones)
                    unaFila.push_back({Sustituir(Texto(1801), {c, t.def.Name}), t.def.Name,
                                       set + fila(t.def.Name, k)});
            }
        }
        for (const auto& t : tablas_) {
            for (const auto& c : t.usadas) {
                const int tipo = Tipo(t.def, c);
                for (const Value& v : ValoresFrontera(literales, tipo)) {
                    const std::string set =
                        "UPDATE " + Tabla(t.def.Name) + " SET " + Id(c) + " = ?";
                    const std::string valor = v.toSpanishText();
                    if (!probar({Sustituir(Texto(1804), {c, valor, t.def.Name}),
                                 t.def.Name,
                                 set + fila(t.def.Name, 0),
                                 {v}}) ||
                        !probar(
                            {Sustituir(Texto(1805), {c, valor, t.def.Name}), t.def.Name, set, {v}}))
                        return;
                    for (auto k : posiciones)
                        unaFila.push_back({Sustituir(Texto(1804), {c, valor, t.def.Name}),
                                           t.def.Name,
                                           set + fila(t.def.Name, k),
                                           {v}});
                }
            }
        }
        // One value in every row: the groups and repeated values a key used to keep apart.
        for (const auto& t : tablas_) {
            for (const auto& c : t.usadas) {
                auto rs = Ejecutar("SELECT " + Id(c) + " FROM " + Id(t.def.Name) + " LIMIT 1");
                if (!rs || rs->RecordCount() == 0 || rs->Row(0)[0].isNull())
                    continue;
                const Value v = rs->Row(0)[0];
                if (!probar({Sustituir(Texto(1805), {c, v.toSpanishText(), t.def.Name}),
                             t.def.Name,
                             "UPDATE " + Tabla(t.def.Name) + " SET " + Id(c) + " = ?",
                             {v}}))
                    return;
            }
        }
        for (const auto& t : tablas_)
            for (const auto& c : t.usadas)
                if (DeTexto(Tipo(t.def, c)))
                    for (const char* f : {"upper", "lower"})
                        if (!probar({Sustituir(Texto(1806), {c, t.def.Name}), t.def.Name,
                                     "UPDATE " + Tabla(t.def.Name) + " SET " + Id(c) + " = " + f +
                                         "(" + Id(c) + ")"}))
                            return;
        // The rows referring to the emptied table's go with them; the change says so.
        for (const auto& t : tablas_)
            if (!probar({Sustituir(Texto(1807), {t.def.Name}),
                         t.def.Name,
                         "DELETE FROM " + Tabla(t.def.Name),
                         {},
                         true}))
                return;
        for (const auto& v : unaFila)
            if (!probar(v))
                return;
    }

    static int Tipo(const engine::TableDef& def, const std::string& columna) {
        for (const auto& f : def.Fields)
            if (f.Name == columna)
                return f.Type;
        return 0;
    }

    // Every row again, with new values in one column of each unique key: the same data
    // twice, and rows no other table refers to.
    Variante Duplicar(const engine::TableDef& def) {
        std::set<std::string> referentes;
        for (const auto* r : copia_->Padres(def.Name))
            for (const auto& f : r->Fields) referentes.insert(Minusculas(f.ForeignName));
        std::set<std::string> nuevas;
        for (const auto& ix : def.Indexes) {
            if (!(ix.Unique || ix.Primary) || ix.Fields.empty())
                continue;
            bool cubierto = false;
            for (const auto& f : ix.Fields) cubierto |= nuevas.count(f) > 0;
            if (cubierto)
                continue;
            // A new value where the key refers to no other table (the last field of a key of
            // several is the likeliest).
            std::string nueva = ix.Fields.back();
            for (const auto& f : ix.Fields)
                if (!referentes.count(Minusculas(f)))
                    nueva = f;
            nuevas.insert(nueva);
        }
        std::string columnas;
        for (const auto& f : def.Fields) {
            std::string expr = Id(f.Name);
            if (nuevas.count(f.Name))
                expr = Numerico(f.Type) ? "abs(" + expr + ") + (SELECT max(abs(" + expr +
                                              ")) FROM " + Tabla(def.Name) + ") + 1"
                                        : expr + " || '~2'";
            columnas += (columnas.empty() ? "" : ", ") + expr;
        }
        return {
            Sustituir(Texto(1803), {def.Name}), def.Name,
            "INSERT INTO " + Tabla(def.Name) + " SELECT " + columnas + " FROM " + Tabla(def.Name)};
    }

    std::unique_ptr<engine::Recordset> Ejecutar(std::string_view sql) {
        engine::EngineError error;
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

    std::optional<Contraejemplo> Probar(const Variante& v) {
        // A change the schema would not allow is no database the statements could meet.
        std::vector<std::string> arrastradas;
        if (!copia_->Aplicar(v.datos, &arrastradas))
            return std::nullopt;
        std::optional<Contraejemplo> hallado;
        auto sol = Ejecutar(solucion_);
        auto resp = sol ? Ejecutar(respuesta_) : nullptr;
        if (sol && resp && !MismosResultados(*resp, *sol)) {
            std::string cambio = v.cambio;
            if (!arrastradas.empty()) {
                std::string lista;
                for (const auto& t : arrastradas) lista += (lista.empty() ? "" : ", ") + t;
                cambio = Sustituir(Texto(2010), {v.datos.tablas.front(), lista});
            }
            hallado = Contraejemplo{cambio, Ejemplo(*resp), Ejemplo(*sol)};
        }
        copia_->Deshacer();
        return hallado;
    }

    Database& usuario_;
    std::string solucion_, respuesta_;
    Clock::time_point limite_;
    std::vector<engine::TableDef> todas_;
    std::vector<TablaLeida> tablas_;  // read by the statements first, then those they refer to
    std::unique_ptr<CopiaRestringida> copia_;
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
