// veliora-cli sql: one statement through the guard (read-only, one statement, time limit).
#include <cstdio>

#include "cli/comun.h"

namespace veliora::cli {

namespace {

std::string CampoTsv(const engine::Value& v) {
    std::string s = v.toPlainText();
    for (char& c : s)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return s;
}

}  // namespace

int ComandoSql(const std::vector<std::string>& args) {
    auto op = Parsear(args, {"--db", "--timeout"}, {"--json"});
    if (!op)
        return kExitUsage;
    auto path = op->Valor("--db");
    if (!path || op->posicionales.size() != 1) {
        std::fputs("veliora-cli: usage: sql --db FILE [--json] [--timeout MS] \"STATEMENT\"\n",
                   stderr);
        return kExitUsage;
    }
    const auto limite = LeerTiempoLimite(*op);
    if (!limite)
        return kExitUsage;
    const bool json = op->Tiene("--json");
    auto db = AbrirUsuario(*path, json);
    if (!db)
        return kExitError;
    FijarTiempoLimite(*db, *limite);
    const std::string& sql = op->posicionales[0];
    // The limit covers the whole statement, opening and fetching alike.
    db->SetDeadline(std::chrono::steady_clock::now() + *limite);
    engine::EngineError err;
    std::unique_ptr<engine::Recordset> rs;
    {
        Vigilante vigilante(
            *limite, [&] { ImprimirError(engine::TimeLimitError(db->limits(), sql), json); },
            kExitError);
        rs = db->OpenRecordset(sql, err);
        if (rs) {
            rs->MoveLast();
            if (rs->Error().failed())
                err = rs->Error();
        }
    }
    if (err.failed()) {
        ImprimirError(err, json);
        return kExitError;
    }
    if (json) {
        Json j;
        j.BeginObject().Key("columns").BeginArray();
        for (int i = 0; i < rs->FieldCount(); ++i) j.String(rs->FieldName(i));
        j.EndArray().Key("rows").BeginArray();
        for (std::size_t r = 0; r < rs->RecordCount(); ++r) {
            j.BeginArray();
            for (const auto& v : rs->Row(r)) j.Value(v);
            j.EndArray();
        }
        j.EndArray().EndObject();
        std::printf("%s\n", j.str().c_str());
    } else {
        for (int i = 0; i < rs->FieldCount(); ++i)
            std::printf("%s%s", i ? "\t" : "", rs->FieldName(i).c_str());
        std::printf("\n");
        for (std::size_t r = 0; r < rs->RecordCount(); ++r) {
            const auto& row = rs->Row(r);
            for (std::size_t i = 0; i < row.size(); ++i)
                std::printf("%s%s", i ? "\t" : "", CampoTsv(row[i]).c_str());
            std::printf("\n");
        }
    }
    return kExitOk;
}

}  // namespace veliora::cli
