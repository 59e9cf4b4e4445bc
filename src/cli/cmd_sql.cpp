// veliora-cli sql: one statement through the guard (read-only, one statement, time limit).
#include <cstdio>
#include <mutex>

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

// Rows are written as they are read, so that no result is ever held whole. An error after
// some rows ends the output where it stands: the plain text on standard error, the JSON
// document closed with an "error" member beside "columns" and "rows".
class Salida {
  public:
    explicit Salida(bool json) : json_(json) {}

    void Cabecera(const engine::Recordset& rs) {
        std::lock_guard<std::mutex> cerrojo(mutex_);
        cabecera_ = true;
        if (json_) {
            Json j;
            j.BeginArray();
            for (int i = 0; i < rs.FieldCount(); ++i) j.String(rs.FieldName(i));
            j.EndArray();
            std::printf("{\"columns\":%s,\"rows\":[", j.str().c_str());
        } else {
            for (int i = 0; i < rs.FieldCount(); ++i)
                std::printf("%s%s", i ? "\t" : "", rs.FieldName(i).c_str());
            std::printf("\n");
        }
    }

    void Fila(const engine::Recordset& rs) {
        std::lock_guard<std::mutex> cerrojo(mutex_);
        if (json_) {
            Json j;
            j.BeginArray();
            for (int i = 0; i < rs.FieldCount(); ++i) j.Value(rs.Field(i));
            j.EndArray();
            std::printf("%s%s", primera_ ? "" : ",", j.str().c_str());
        } else {
            for (int i = 0; i < rs.FieldCount(); ++i)
                std::printf("%s%s", i ? "\t" : "", CampoTsv(rs.Field(i)).c_str());
            std::printf("\n");
        }
        primera_ = false;
    }

    // Ends the output; with an error, the rows so far are followed by it (the error alone
    // before any row).
    void Fin(const engine::Error& err) {
        std::lock_guard<std::mutex> cerrojo(mutex_);
        if (!cabecera_) {
            ImprimirError(err, json_);
        } else if (json_) {
            std::printf("]");
            if (err.failed()) {
                Json j;
                j.BeginObject();
                ClavesError(j, err);
                j.EndObject();
                std::printf(",\"error\":%s", j.str().c_str());
            }
            std::printf("}\n");
        } else if (err.failed()) {
            std::fflush(stdout);
            ImprimirError(err, false);
        }
        std::fflush(stdout);
    }

  private:
    std::mutex mutex_;
    bool json_;
    bool primera_ = true;
    bool cabecera_ = false;
};

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
    engine::Error err;
    Salida salida(json);
    Vigilante vigilante(
        *limite, [&] { salida.Fin(engine::TimeLimitError(db->limits(), sql)); }, kExitError);
    auto rs = db->OpenForwardOnly(sql, err);
    if (!rs) {
        salida.Fin(err);
        return kExitError;
    }
    salida.Cabecera(*rs);
    for (; !rs->Eof(); rs->MoveNext()) salida.Fila(*rs);
    salida.Fin(rs->Error());
    return rs->Error().failed() ? kExitError : kExitOk;
}

}  // namespace veliora::cli
