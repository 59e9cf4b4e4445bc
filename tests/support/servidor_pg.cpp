#include "support/servidor_pg.h"

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/fixtures.h"

namespace veliora::test {

namespace fs = std::filesystem;

namespace {

// The newest of Debian's PostgreSQL installations.
std::string CarpetaBinarios() {
    std::string mejor;
    std::error_code ec;
    for (fs::directory_iterator it("/usr/lib/postgresql", ec), fin; !ec && it != fin;
         it.increment(ec))
        if (fs::exists(it->path() / "bin" / "initdb") && it->path().string() > mejor)
            mejor = it->path().string();
    return mejor.empty() ? mejor : mejor + "/bin";
}

int PuertoLibre() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in dir{};
    dir.sin_family = AF_INET;
    dir.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t largo = sizeof dir;
    int puerto = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&dir), sizeof dir) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&dir), &largo) == 0)
        puerto = ntohs(dir.sin_port);
    close(fd);
    return puerto;
}

std::string Script() {
    return ShellArg(std::string(VELIORA_SOURCE_DIR) + "/scripts/class-server");
}

}  // namespace

ServidorPg* ServidorPg::Compartido(std::string& motivo, bool rapido) {
    static std::unique_ptr<ServidorPg> servidor;
    static std::string fallo;
    if (!servidor && fallo.empty()) {
        std::unique_ptr<ServidorPg> nuevo(new ServidorPg());
        nuevo->bin_ = CarpetaBinarios();
        if (nuevo->bin_.empty())
            fallo =
                "PostgreSQL is not installed (/usr/lib/postgresql/*/bin): apt-get install "
                "postgresql";
        else if (geteuid() == 0 && !getpwnam("postgres"))
            fallo = "running as root without the unprivileged user postgres";
        char plantilla[] = "/tmp/veliora-pg-XXXXXX";
        if (fallo.empty() && !mkdtemp(plantilla))
            fallo = "cannot make a temporary folder";
        nuevo->carpeta_ = plantilla;
        nuevo->puerto_ = PuertoLibre();
        nuevo->rapido_ = rapido;
        if (fallo.empty() && !nuevo->Arrancar())
            fallo = "the class server did not start (see " + nuevo->carpeta_ + "/server.log)";
        if (fallo.empty()) {
            setenv("PGPASSFILE", (nuevo->carpeta_ + "/pgpass").c_str(), 1);
            servidor = std::move(nuevo);
        }
    }
    motivo = fallo;
    return servidor.get();
}

ServidorPg::~ServidorPg() {
    Parar(true);
    std::error_code ec;
    fs::remove_all(carpeta_, ec);
}

std::string ServidorPg::Uri(const std::string& baseDatos) const {
    return "postgresql://profesor@127.0.0.1:" + std::to_string(puerto_) + "/" + baseDatos;
}

std::string ServidorPg::Direccion() const {
    return "127.0.0.1:" + std::to_string(puerto_);
}

std::string ServidorPg::ComoServidor() const {
    return geteuid() == 0 ? "runuser -u postgres -- " : "";
}

bool ServidorPg::Arrancar() {
    std::string salida;
    return RunCommand(std::string(rapido_ ? "VELIORA_PG_NOSYNC=1 " : "") + Script() +
                          " start --port " + std::to_string(puerto_) + " --dir " +
                          ShellArg(carpeta_) + " 2>&1",
                      salida) == 0;
}

bool ServidorPg::Parar(bool inmediato) {
    std::string salida;
    if (!inmediato)
        return RunCommand(Script() + " stop --dir " + ShellArg(carpeta_) + " 2>&1", salida) == 0;
    return RunCommand(ComoServidor() + ShellArg(bin_ + "/pg_ctl") + " -D " +
                          ShellArg(carpeta_ + "/data") + " -m immediate -w stop 2>&1",
                      salida) == 0;
}

bool ServidorPg::NuevaBaseDatos(const std::string& nombre) {
    std::string salida;
    return RunCommand(ComoServidor() + ShellArg(bin_ + "/psql") + " -q -h " + ShellArg(carpeta_) +
                          " -p " + std::to_string(puerto_) + " -d postgres -c " +
                          ShellArg("CREATE DATABASE " + nombre + " OWNER profesor") + " 2>&1",
                      salida) == 0;
}

}  // namespace veliora::test
