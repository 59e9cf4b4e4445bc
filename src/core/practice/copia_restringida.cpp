#include "core/practice/copia_restringida.h"

#include <algorithm>

namespace veliora {

namespace {

std::string Id(std::string_view nombre) {
    return engine::QuoteSql(nombre, '"');
}

bool MismaTabla(std::string_view a, std::string_view b) {
    return engine::LowerText(a) == engine::LowerText(b);
}

bool Contiene(const std::vector<std::string>& tablas, std::string_view t) {
    return std::any_of(tablas.begin(), tablas.end(),
                       [&](const std::string& x) { return MismaTabla(x, t); });
}

// Rows deleted over and over: a chain of rows that refer to each other ends in this many
// rounds, or the change is given up.
constexpr int kMaxRondas = 16;

}  // namespace

CopiaRestringida::CopiaRestringida(std::shared_ptr<engine::Database> copia,
                                   std::vector<std::string> tablas,
                                   const std::vector<engine::Relation>& relaciones)
    : copia_(std::move(copia)), tablas_(std::move(tablas)) {
    for (const auto& r : relaciones)
        if (!r.Fields.empty() && Contiene(tablas_, r.Table) && Contiene(tablas_, r.ForeignTable))
            relaciones_.push_back(r);
    engine::Error error;
    rotas_ = copia_->KeyViolations(tablas_, error);
    for (const auto& r : relaciones_)
        for (const auto& f : r.Fields) {
            deClave_.push_back(engine::LowerText(r.Table + "." + f.Name));
            deClave_.push_back(engine::LowerText(r.ForeignTable + "." + f.ForeignName));
        }
    for (const auto& def : copia_->TableDefs(error)) {
        if (!Contiene(tablas_, def.Name))
            continue;
        for (const auto& ix : def.Indexes)
            if (ix.Unique || ix.Primary)
                for (const auto& f : ix.Fields)
                    deClave_.push_back(engine::LowerText(def.Name + "." + f));
        for (const auto& ix : def.Indexes) {
            if (!(ix.Unique || ix.Primary) || ix.Foreign)
                continue;
            std::string llenas, grupo;
            bool texto = false;
            for (const auto& f : ix.Fields) {
                for (const auto& campo : def.Fields)
                    texto |= campo.Name == f && (campo.Type == engine::TypeCode::Text ||
                                                 campo.Type == engine::TypeCode::Memo ||
                                                 campo.Type == engine::TypeCode::Char);
                llenas += (llenas.empty() ? "" : " AND ") + Id(f) + " IS NOT NULL";
                grupo += (grupo.empty() ? "" : ", ") + Id(f) + " COLLATE es_ci";
            }
            if (!texto)
                continue;
            Repetidos r{def.Name,
                        "SELECT count(*) FROM (SELECT 1 FROM main." + Id(def.Name) + " WHERE " +
                            llenas + " GROUP BY " + grupo + " HAVING count(*) > 1)",
                        0};
            r.antes = copia_->Scalar(r.sql, error).toInt();
            repetidos_.push_back(std::move(r));
        }
    }
}

bool CopiaRestringida::MasTextosRepetidos(const std::vector<std::string>& tablas) {
    for (const auto& r : repetidos_) {
        if (!Contiene(tablas, r.tabla))
            continue;
        engine::Error error;
        const engine::Value v = copia_->Scalar(r.sql, error);
        if (error.failed() || v.toInt() > r.antes)
            return true;
    }
    return false;
}

std::vector<const engine::Relation*> CopiaRestringida::Hijas(const std::string& tabla) const {
    std::vector<const engine::Relation*> r;
    for (const auto& x : relaciones_)
        if (MismaTabla(x.Table, tabla))
            r.push_back(&x);
    return r;
}

std::vector<const engine::Relation*> CopiaRestringida::Padres(const std::string& tabla) const {
    std::vector<const engine::Relation*> r;
    for (const auto& x : relaciones_)
        if (MismaTabla(x.ForeignTable, tabla))
            r.push_back(&x);
    return r;
}

bool CopiaRestringida::Ejecutar(const std::string& sql, const std::vector<engine::Value>& p) {
    engine::Error error;
    return copia_->ExecuteOnCopy(sql, error, p);
}

// The tables written and those whose rows refer to them, at any distance: a key can only
// break there.
std::vector<std::string> CopiaRestringida::Afectadas(const std::vector<std::string>& tablas) const {
    std::vector<std::string> todas;
    for (const auto& t : tablas)
        if (!Contiene(todas, t))
            todas.push_back(t);
    for (std::size_t i = 0; i < todas.size(); ++i)
        for (const auto* r : Hijas(todas[i]))
            if (!Contiene(todas, r->ForeignTable))
                todas.push_back(r->ForeignTable);
    return todas;
}

bool CopiaRestringida::BorrarHuerfanas(std::vector<std::string>& arrastradas) {
    for (int ronda = 0; ronda < kMaxRondas; ++ronda) {
        bool alguna = false;
        for (const auto& r : relaciones_) {
            // A key with a null column refers to nothing.
            std::string llena, enlace;
            for (const auto& f : r.Fields) {
                llena += "h." + Id(f.ForeignName) + " IS NOT NULL AND ";
                enlace += (enlace.empty() ? "" : " AND ") + ("p." + Id(f.Name)) + " = h." +
                          Id(f.ForeignName);
            }
            if (!Ejecutar("DELETE FROM main." + Id(r.ForeignTable) + " AS h WHERE " + llena +
                          "NOT EXISTS (SELECT 1 FROM main." + Id(r.Table) + " AS p WHERE " +
                          enlace + ")"))
                return false;
            if (copia_->Changes() > 0) {
                alguna = true;
                if (!Contiene(arrastradas, r.ForeignTable))
                    arrastradas.push_back(r.ForeignTable);
            }
        }
        if (!alguna)
            return true;
    }
    return false;
}

bool CopiaRestringida::PuedeRomper(const Cambio& cambio) const {
    if (cambio.borra || cambio.columnas.empty())
        return true;
    for (const auto& t : cambio.tablas)
        for (const auto& c : cambio.columnas)
            if (std::find(deClave_.begin(), deClave_.end(), engine::LowerText(t + "." + c)) !=
                deClave_.end())
                return true;
    return false;
}

bool CopiaRestringida::Aplicar(const Cambio& cambio, std::vector<std::string>* arrastradas) {
    if (!Ejecutar("SAVEPOINT variante" + std::to_string(aplicados_)))
        return false;
    ++aplicados_;
    // Foreign keys are checked once the whole change is made, as its end result.
    bool bien = Ejecutar("PRAGMA defer_foreign_keys = ON");
    for (std::size_t i = 0; bien && i < cambio.pasos.size(); ++i)
        bien = Ejecutar(cambio.pasos[i].sql, cambio.pasos[i].parametros);
    std::vector<std::string> idas;
    if (bien && cambio.borra)
        bien = BorrarHuerfanas(idas);
    if (bien && PuedeRomper(cambio)) {
        engine::Error error;
        const auto rotas = copia_->KeyViolations(Afectadas(cambio.tablas), error);
        bien = !error.failed() &&
               std::includes(rotas_.begin(), rotas_.end(), rotas.begin(), rotas.end()) &&
               !MasTextosRepetidos(cambio.tablas);
    }
    if (!bien) {
        Deshacer();
        return false;
    }
    if (arrastradas)
        *arrastradas = std::move(idas);
    return true;
}

void CopiaRestringida::Deshacer() {
    if (aplicados_ == 0)
        return;
    --aplicados_;
    const std::string punto = "variante" + std::to_string(aplicados_);
    Ejecutar("ROLLBACK TO " + punto);
    Ejecutar("RELEASE " + punto);
}

}  // namespace veliora
