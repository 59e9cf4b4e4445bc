// veliora-cli access convert: an Access file (.mdb, .accdb) as a SQLite database.
#include <cstdio>

#include "cli/comun.h"
#include "core/access/conversion.h"
#include "core/shell/directorio.h"

namespace veliora::cli {

namespace {

constexpr const char* kUso =
    "veliora-cli: usage: access convert --mdb FILE [--out FILE.db] [--json]\n";

void ImprimirJson(const access::Conversion& c) {
    Json j;
    j.BeginObject().Key("output").String(c.destino.string());
    j.Key("reused").Bool(c.reutilizada).Key("complete").Bool(c.completa);
    j.Key("tables").Int(c.TablasConvertidas()).Key("rows").Int(c.Filas());
    j.Key("relationships").Int(c.relaciones).Key("details").BeginArray();
    for (const auto& t : c.tablas) {
        j.BeginObject().Key("name").String(t.nombre).Key("converted").Bool(t.convertida);
        j.Key("rows").Int(t.filas).Key("notes").BeginArray();
        for (const auto& n : t.notas) j.String(n);
        j.EndArray().EndObject();
    }
    j.EndArray().Key("notes").BeginArray();
    for (const auto& n : c.notas) j.String(n);
    j.EndArray().EndObject();
    std::printf("%s\n", j.str().c_str());
}

void ImprimirTexto(const access::Conversion& c) {
    std::printf("%s: %d tables, %lld rows, %d relationships%s%s\n", c.destino.string().c_str(),
                c.TablasConvertidas(), c.Filas(), c.relaciones,
                c.reutilizada ? " (unchanged since its conversion)" : "",
                c.completa ? "" : " (incomplete: rows are missing)");
    for (const auto& t : c.tablas) {
        std::printf("  %-30s %8lld rows%s\n", t.nombre.c_str(), t.filas,
                    t.convertida ? "" : " (not converted)");
        for (const auto& n : t.notas) std::printf("    note: %s\n", n.c_str());
    }
    for (const auto& n : c.notas) std::printf("  note: %s\n", n.c_str());
}

}  // namespace

int ComandoAccess(const std::vector<std::string>& args) {
    if (args.empty() || args.front() != "convert") {
        std::fputs(kUso, stderr);
        return kExitUsage;
    }
    auto op = Parsear({args.begin() + 1, args.end()}, {"--mdb", "--out"}, {"--json"});
    if (!op)
        return kExitUsage;
    auto mdb = op->Valor("--mdb");
    if (!mdb || !op->posicionales.empty()) {
        std::fputs(kUso, stderr);
        return kExitUsage;
    }
    const bool json = op->Tiene("--json");
    access::Conversion conversion;
    engine::Error err;
    const bool ok = op->Valor("--out")
                        ? access::Convertir(*mdb, *op->Valor("--out"), conversion, err)
                        : access::Preparar(*mdb, CarpetaConversiones(), conversion, err);
    if (!ok) {
        ImprimirError(err, json);
        return kExitError;
    }
    json ? ImprimirJson(conversion) : ImprimirTexto(conversion);
    ImprimirNotasConversion(conversion);
    return kExitOk;
}

}  // namespace veliora::cli
