#include "support/postgres.h"

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>

#include "support/fixtures.h"

namespace veliora::test {

namespace fs = std::filesystem;

namespace {

// The newest installed server's programs, or nothing.
fs::path ProgramasPostgres() {
    fs::path mejor;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/usr/lib/postgresql", ec))
        if (fs::exists(e.path() / "bin" / "initdb") && e.path() > mejor.parent_path())
            mejor = e.path() / "bin";
    return mejor;
}

int PuertoLibre() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t largo = sizeof a;
    int puerto = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &largo) == 0)
        puerto = ntohs(a.sin_port);
    close(s);
    return puerto;
}

std::string TipoPostgres(const std::string& declarado) {
    namespace T = engine::TypeCode;
    switch (engine::TypeCodeFromDeclared(declarado)) {
        case T::Boolean:
            return "boolean";
        case T::Byte:
        case T::Integer:
        case T::Long:
        case T::BigInt:
            return "bigint";
        case T::Currency:
        case T::Numeric:
        case T::Decimal:
            return "numeric";
        case T::Single:
        case T::Double:
        case T::Float:
            return "double precision";
        case T::Date:
        case T::TimeStamp:
            return "timestamp";
        case T::Binary:
        case T::LongBinary:
        case T::VarBinary:
            return "bytea";
        default:
            return "text";
    }
}

std::string Literal(const engine::Value& v, const std::string& tipo) {
    if (v.isNull() || tipo == "bytea")
        return "NULL";
    if (tipo == "boolean")
        return v.toBool() ? "true" : "false";
    return engine::QuoteSql(v.toPlainText(), '\'');
}

}  // namespace

ServidorPostgres::ServidorPostgres() {
    bin_ = ProgramasPostgres();
    if (bin_.empty()) {
        motivo_ = "postgresql is not installed (run scripts/setup)";
        return;
    }
    char plantilla[] = "/tmp/veliora-pg-XXXXXX";
    dir_ = mkdtemp(plantilla);
    if (geteuid() == 0) {
        // The server refuses to run as root.
        const passwd* nadie = getpwnam("nobody");
        if (!nadie || chown(dir_.c_str(), nadie->pw_uid, nadie->pw_gid) != 0) {
            motivo_ = "no unprivileged user to run postgresql as";
            return;
        }
        prefijo_ = "runuser -u nobody -- ";
    }
    puerto_ = PuertoLibre();
    std::string salida;
    const std::string datos = ShellArg((dir_ / "datos").string());
    if (Ejecutar((bin_ / "initdb").string() + " -D " + datos +
                     " -A trust -U veliora -E UTF8 --locale=C.UTF-8 --no-sync",
                 salida) != 0 ||
        Ejecutar((bin_ / "pg_ctl").string() + " -D " + datos + " -l " +
                     ShellArg((dir_ / "registro").string()) + " -w -o \"-p " +
                     std::to_string(puerto_) + " -k " + dir_.string() +
                     " -c listen_addresses=''\" start",
                 salida) != 0)
        motivo_ = "postgresql did not start: " + salida;
}

ServidorPostgres::~ServidorPostgres() {
    std::string salida;
    if (!bin_.empty() && !dir_.empty())
        Ejecutar((bin_ / "pg_ctl").string() + " -D " + ShellArg((dir_ / "datos").string()) +
                     " -m immediate stop",
                 salida);
    std::error_code ec;
    if (!dir_.empty())
        fs::remove_all(dir_, ec);
}

int ServidorPostgres::Ejecutar(const std::string& orden, std::string& salida) {
    return RunCommand(prefijo_ + orden + " 2>&1", salida);
}

int ServidorPostgres::Psql(const std::string& script, std::string& salida) {
    const fs::path archivo = dir_ / "script.sql";
    std::ofstream(archivo) << script;
    fs::permissions(archivo, fs::perms::others_read, fs::perm_options::add);
    return Ejecutar((bin_ / "psql").string() + " -X -q -h " + dir_.string() + " -p " +
                        std::to_string(puerto_) + " -U veliora -d postgres -v ON_ERROR_STOP=1 -f " +
                        ShellArg(archivo.string()),
                    salida);
}

bool ServidorPostgres::Copiar(engine::Database& origen, std::string& salida) {
    engine::EngineError error;
    std::string script;
    for (const engine::TableDef& t : origen.TableDefs(error)) {
        if (t.Attributes != 0)
            continue;
        std::vector<std::string> tipos;
        std::string columnas;
        for (const engine::FieldDef& f : t.Fields) {
            tipos.push_back(TipoPostgres(f.DeclaredType));
            columnas +=
                (columnas.empty() ? "" : ", ") + engine::QuoteSql(f.Name, '"') + " " + tipos.back();
        }
        const std::string tabla = engine::QuoteSql(t.Name, '"');
        script += "CREATE TABLE " + tabla + " (" + columnas + ");\n";
        auto rs = origen.OpenForwardOnly("select * from " + engine::QuoteSql(t.Name, '"'), error);
        for (; rs && !rs->Eof(); rs->MoveNext()) {
            std::string fila;
            for (int i = 0; i < rs->FieldCount(); ++i)
                fila += (i ? ", " : "") + Literal(rs->Field(i), tipos[std::size_t(i)]);
            script += "INSERT INTO " + tabla + " VALUES (" + fila + ");\n";
        }
    }
    if (error.failed()) {
        salida = error.description;
        return false;
    }
    return Psql(script, salida) == 0;
}

}  // namespace veliora::test
