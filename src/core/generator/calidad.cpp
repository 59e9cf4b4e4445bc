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

// Whether every value of the result is null: an aggregate over no rows, which any answer
// returning a null matches.
bool SoloNulos(const engine::Recordset& rs) {
    for (std::size_t i = 0; i < rs.RecordCount(); ++i)
        for (const engine::Value& v : rs.Row(i))
            if (!v.isNull())
                return false;
    return true;
}

}  // namespace

OpcionesCalidad LeerOpcionesCalidad() {
    OpcionesCalidad o;
    o.activa = LeerAjusteNumerico(kAjusteEvitarTriviales) != 0;
    o.presupuesto = std::chrono::milliseconds(LeerAjusteNumerico(kAjustePresupuestoCalidad));
    return o;
}

Medida MedirPregunta(engine::Database& usuario, std::string_view sql,
                     std::chrono::steady_clock::time_point limite) {
    Medida m;
    if (std::chrono::steady_clock::now() >= limite) {
        m.dictamen = Dictamen::SinTiempo;
        return m;
    }
    usuario.SetDeadline(limite);
    struct Liberar {
        engine::Database& bd;
        ~Liberar() { bd.ClearDeadline(); }
    } liberar{usuario};

    bool tiempo = false;
    auto solucion = Todo(usuario, sql, tiempo);
    if (!solucion) {
        m.dictamen = tiempo ? Dictamen::SinTiempo : Dictamen::Digna;
        return m;
    }
    m.filas = long(solucion->RecordCount());
    if (m.filas == 0 || SoloNulos(*solucion)) {
        m.dictamen = Dictamen::Vacia;
        return m;
    }
    std::vector<std::string> mutantes = SinCadaCondicion(sql);
    if (std::string s = SinClausula(sql, false); !s.empty())
        mutantes.push_back(std::move(s));
    for (const std::string& mutante : mutantes) {
        // A mutant with more rows differs: no need to fetch the rest.
        auto rs = Todo(usuario, mutante, tiempo, std::size_t(m.filas) + 1);
        if (tiempo) {
            m.dictamen = Dictamen::SinTiempo;
            return m;
        }
        if (rs && rs->AtEnd() && MismosResultados(*rs, *solucion)) {
            m.dictamen = Dictamen::Trivial;
            return m;
        }
    }
    return m;
}

}  // namespace veliora::generador
