#include "core/generator/calidad.h"

#include <memory>
#include <string>
#include <vector>

#include "core/shell/registro.h"
#include "core/sql/igualdad.h"
#include "core/sql/piezas_sql.h"

namespace veliora::generador {

namespace {

// The result up to `hasta` rows (all of them with 0), or null with `tiempo` set when the
// deadline stopped it.
std::unique_ptr<engine::Recordset> Todo(engine::Database& bd, std::string_view sql, bool& tiempo,
                                        std::size_t hasta = 0) {
    engine::Error error;
    auto rs = bd.OpenRecordset(sql, error);
    if (rs && !error.failed()) {
        if (hasta)
            rs->FetchUpTo(hasta);
        else
            rs->MoveLast();
        error = rs->Error();
    }
    tiempo = engine::TimedOut(error);
    return error.failed() ? nullptr : std::move(rs);
}

// One pass over the solution in constant memory: its row count, whether any value is not
// null, and its rows while there are at most `guardar`. It fails where reading the whole
// result into memory would (the recordset's row and memory caps), so that the verdict stays
// the one a whole read gives.
struct Pasada {
    bool leida = false, tiempo = false;
    long filas = 0;
    bool conValor = false;
    int campos = 0;
    std::vector<FilaValores> guardadas;  // every row when filas <= guardar
};

Pasada Recorrer(engine::Database& bd, std::string_view sql, std::size_t guardar) {
    Pasada p;
    engine::Error error;
    auto rs = bd.OpenForwardOnly(sql, error);
    if (!rs) {
        p.tiempo = engine::TimedOut(error);
        return p;
    }
    p.campos = rs->FieldCount();
    const engine::Limits& limites = bd.limits();
    std::size_t bytes = 0;
    for (; !rs->Eof(); rs->MoveNext()) {
        bytes += sizeof(FilaValores) + 16 + std::size_t(p.campos) * sizeof(engine::Value);
        for (int i = 0; i < p.campos; ++i) {
            bytes += rs->Field(i).text.size();
            p.conValor = p.conValor || !rs->Field(i).isNull();
        }
        if (std::size_t(++p.filas) >= limites.maxRows || bytes > limites.maxBytes)
            return p;
        if (p.guardadas.size() < guardar) {
            FilaValores& fila = p.guardadas.emplace_back();
            for (int i = 0; i < p.campos; ++i) fila.push_back(rs->Field(i));
        }
    }
    p.tiempo = engine::TimedOut(rs->Error());
    p.leida = !rs->Error().failed();
    return p;
}

// Rows of the mutant up to `hasta`, counted by the engine without reading them: -1 when the
// count fails (its statement is then judged the whole way).
long ContarHasta(engine::Database& bd, std::string_view sql, long hasta, bool& tiempo) {
    engine::Error error;
    const engine::Value n =
        bd.Scalar("SELECT count(*) FROM (SELECT 1 FROM (\n" + std::string(sql) + "\n) LIMIT ?)",
                  error, {engine::Value::Int(hasta)});
    tiempo = engine::TimedOut(error);
    return error.failed() || !n.isNumber() ? -1 : long(n.integer);
}

// Whether the fetched mutant holds the rows of the solution read by `p`, as
// MismosResultados judges two results.
bool MismasQueGuardadas(const engine::Recordset& mutante, const Pasada& p) {
    if (mutante.RecordCount() != p.guardadas.size() || mutante.FieldCount() != p.campos)
        return false;
    std::vector<const FilaValores*> a, b;
    for (std::size_t i = 0; i < mutante.RecordCount(); ++i) {
        if (mutante.Row(i).size() != std::size_t(p.campos))
            return false;
        a.push_back(&mutante.Row(i));
        b.push_back(&p.guardadas[i]);
    }
    return MismasFilas(a, b);
}

// The solution read whole into memory, only once a mutant of as many rows has to be compared
// with it row by row.
struct Entera {
    engine::Database& bd;
    std::string_view sql;
    std::unique_ptr<engine::Recordset> rs;
    bool tiempo = false;
    const engine::Recordset* Leer() {
        if (!rs && !tiempo)
            rs = Todo(bd, sql, tiempo);
        return rs.get();
    }
};

// Trivial when the mutant returns the rows of the solution, SinTiempo when the deadline
// stopped it, Digna otherwise. Past the rows the pass kept, the mutant is first told from the
// solution by its row count, which the engine gives without reading the rows and stops one
// row past the solution's: rows are only read and compared when both counts are the same.
Dictamen MedirMutante(engine::Database& bd, const std::string& mutante, const Pasada& solucion,
                      Entera& entera, std::chrono::steady_clock::time_point limite) {
    bool tiempo = false;
    const bool guardada = std::size_t(solucion.filas) <= solucion.guardadas.size();
    if (!guardada) {
        const long n = ContarHasta(bd, mutante, solucion.filas + 1, tiempo);
        if (tiempo)
            return Dictamen::SinTiempo;
        if (n >= 0 && n != solucion.filas)
            return Dictamen::Digna;
    }
    auto rs = Todo(bd, mutante, tiempo, std::size_t(solucion.filas) + 1);
    if (tiempo)
        return Dictamen::SinTiempo;
    if (!rs || !rs->AtEnd())
        return Dictamen::Digna;
    const engine::Recordset* todo = guardada ? nullptr : entera.Leer();
    // Comparing is no step of the engine's: the deadline is looked at before it starts.
    if (entera.tiempo || std::chrono::steady_clock::now() >= limite)
        return Dictamen::SinTiempo;
    const bool mismas =
        guardada ? MismasQueGuardadas(*rs, solucion) : todo && MismosResultados(*rs, *todo);
    return mismas ? Dictamen::Trivial : Dictamen::Digna;
}

}  // namespace

OpcionesCalidad LeerOpcionesCalidad() {
    OpcionesCalidad o;
    o.activa = LeerAjusteNumerico(kAjusteEvitarTriviales) != 0;
    o.presupuesto = std::chrono::milliseconds(LeerAjusteNumerico(kAjustePresupuestoCalidad));
    return o;
}

Medida MedirPregunta(engine::Database& usuario, std::string_view sql,
                     std::chrono::steady_clock::time_point limite, std::size_t guardar) {
    using Reloj = std::chrono::steady_clock;
    Medida m;
    const auto inicio = Reloj::now();
    if (inicio >= limite) {
        m.dictamen = Dictamen::SinTiempo;
        return m;
    }
    std::vector<std::string> mutantes = SinCadaCondicion(sql);
    if (std::string s = SinClausula(sql, false); !s.empty())
        mutantes.push_back(std::move(s));
    // Judging takes the solution and then each mutant, which drops a condition and so reads
    // at least what the solution reads: a solution slower than its share of the budget (one
    // part for it, one for each mutant), or a mutant with less time left than the solution
    // took, leaves no time to finish, and the question is cut short then rather than at the
    // end of the budget.
    usuario.SetDeadline(inicio + (limite - inicio) / (1 + mutantes.size()));
    struct Liberar {
        engine::Database& bd;
        ~Liberar() { bd.ClearDeadline(); }
    } liberar{usuario};

    const Pasada solucion = Recorrer(usuario, sql, guardar);
    if (!solucion.leida) {
        m.dictamen = solucion.tiempo ? Dictamen::SinTiempo : Dictamen::Digna;
        return m;
    }
    m.filas = solucion.filas;
    if (m.filas == 0 || !solucion.conValor) {
        m.dictamen = Dictamen::Vacia;
        return m;
    }
    const auto tardanza = Reloj::now() - inicio;
    usuario.SetDeadline(limite);
    Entera entera{usuario, sql, nullptr, false};
    for (const std::string& mutante : mutantes) {
        const Dictamen d = Reloj::now() + tardanza > limite
                               ? Dictamen::SinTiempo
                               : MedirMutante(usuario, mutante, solucion, entera, limite);
        if (d != Dictamen::Digna) {
            m.dictamen = d;
            return m;
        }
    }
    return m;
}

}  // namespace veliora::generador
