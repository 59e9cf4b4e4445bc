// veliora-cli schema: the structure of a database as the program sees it.
#include <cstdio>

#include "cli/comun.h"
#include "core/dictionary/esquema.h"

namespace veliora::cli {

namespace {

void ImprimirJson(const ColTablas& tablas, const std::vector<engine::Relation>& relaciones) {
    Json j;
    j.BeginObject().Key("tables").BeginArray();
    for (const Tabla& t : tablas) {
        j.BeginObject().Key("Nombre").String(t.Nombre).Key("Campos").BeginArray();
        for (const Campo& c : t.Campos)
            j.BeginObject().Key("Nombre").String(c.Nombre).Key("Tipo").Int(c.Tipo).EndObject();
        j.EndArray().Key("Indices").BeginArray();
        for (const Indice& i : t.Indices) {
            j.BeginObject().Key("Nombre").String(i.Nombre).Key("Unico").Bool(i.Unico);
            j.Key("ClaveAjena").Bool(i.ClaveAjena).Key("Campos").BeginArray();
            for (const auto& f : i.Campos) j.String(f);
            j.EndArray().EndObject();
        }
        j.EndArray().EndObject();
    }
    j.EndArray().Key("relations").BeginArray();
    for (const engine::Relation& r : relaciones) {
        j.BeginObject().Key("Name").String(r.Name).Key("Table").String(r.Table);
        j.Key("ForeignTable").String(r.ForeignTable).Key("Fields").BeginArray();
        for (const auto& f : r.Fields)
            j.BeginObject()
                .Key("Name")
                .String(f.Name)
                .Key("ForeignName")
                .String(f.ForeignName)
                .EndObject();
        j.EndArray().EndObject();
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.str().c_str());
}

void ImprimirTexto(const ColTablas& tablas, const std::vector<engine::Relation>& relaciones) {
    for (const Tabla& t : tablas) {
        std::printf("Tabla %s\n", t.Nombre.c_str());
        for (const Campo& c : t.Campos)
            std::printf("  campo  %-30s tipo %d\n", c.Nombre.c_str(), c.Tipo);
        for (const Indice& i : t.Indices) {
            std::string campos;
            for (const auto& f : i.Campos) campos += (campos.empty() ? "" : ", ") + f;
            std::printf("  índice %-30s (%s)%s%s\n", i.Nombre.c_str(), campos.c_str(),
                        i.Unico ? " único" : "", i.ClaveAjena ? " clave ajena" : "");
        }
    }
    for (const engine::Relation& r : relaciones) {
        std::printf("Relación %s: %s -> %s (", r.Name.c_str(), r.Table.c_str(),
                    r.ForeignTable.c_str());
        for (std::size_t k = 0; k < r.Fields.size(); ++k)
            std::printf("%s%s = %s", k ? ", " : "", r.Fields[k].Name.c_str(),
                        r.Fields[k].ForeignName.c_str());
        std::printf(")\n");
    }
}

}  // namespace

int ComandoSchema(const std::vector<std::string>& args) {
    auto op = Parsear(args, {"--db"}, {"--json"});
    if (!op)
        return kExitUsage;
    auto path = op->Valor("--db");
    if (!path || !op->posicionales.empty()) {
        std::fputs("veliora-cli: usage: schema --db FILE [--json]\n", stderr);
        return kExitUsage;
    }
    const bool json = op->Tiene("--json");
    auto db = AbrirUsuario(*path, json);
    if (!db)
        return kExitError;
    ColTablas tablas;
    engine::Error err;
    if (!CargarEstructura(tablas, *db, err)) {
        ImprimirError(err, json);
        return kExitError;
    }
    const auto& relaciones = db->Relations(err);
    if (err.failed()) {
        ImprimirError(err, json);
        return kExitError;
    }
    json ? ImprimirJson(tablas, relaciones) : ImprimirTexto(tablas, relaciones);
    return kExitOk;
}

}  // namespace veliora::cli
