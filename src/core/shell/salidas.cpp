#include "core/shell/salidas.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "core/shell/directorio.h"

namespace veliora {

namespace fs = std::filesystem;

namespace {

// Reasons, after text 2100 ("No se puede escribir en %1").
namespace motivo {
constexpr int kEnlace = 2101, kEspecial = 2102, kBaseUsuario = 2103, kBaseAuxiliar = 2104,
              kPlantilla = 2105, kAjustes = 2106, kProtegido = 2107, kAbierto = 2108,
              kSqlite = 2109, kAccess = 2110;
}

struct Identidad {
    dev_t dispositivo;
    ino_t nodo;
    bool operator==(const Identidad&) const = default;
};

std::optional<Identidad> IdentidadDe(const std::string& ruta) {
    struct stat info {};
    if (ruta.empty() || stat(ruta.c_str(), &info) != 0)
        return std::nullopt;
    return Identidad{info.st_dev, info.st_ino};
}

std::mutex& MutexProtegidos() {
    static std::mutex m;
    return m;
}
std::vector<Identidad>& Protegidos() {
    static std::vector<Identidad> v;
    return v;
}

std::mutex& MutexConsulta() {
    static std::mutex m;
    return m;
}
std::function<BasesAbiertas()>& ConsultaBases() {
    static std::function<BasesAbiertas()> consulta;
    return consulta;
}

BasesAbiertas LasBasesAbiertas() {
    std::lock_guard<std::mutex> lock(MutexConsulta());
    return ConsultaBases() ? ConsultaBases()() : BasesAbiertas{};
}

bool EsProtegido(const Identidad& id) {
    std::lock_guard<std::mutex> lock(MutexProtegidos());
    const auto& v = Protegidos();
    return std::find(v.begin(), v.end(), id) != v.end();
}

// Every file this process holds open, as the kernel lists its descriptors.
bool AbiertoPorElPrograma(const Identidad& id) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return false;
    bool abierto = false;
    while (const dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        struct stat info {};
        if (fstatat(dirfd(dir), e->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (Identidad{info.st_dev, info.st_ino} == id) {
            abierto = true;
            break;
        }
    }
    closedir(dir);
    return abierto;
}

// The first bytes of a regular file, read without following a link or waiting.
std::string Cabecera(const std::string& ruta, std::size_t n) {
    const int fd = open(ruta.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string bytes(n, '\0');
    const ssize_t leidos = pread(fd, bytes.data(), n, 0);
    close(fd);
    bytes.resize(leidos > 0 ? std::size_t(leidos) : 0);
    return bytes;
}

// The kind of database a file holds by its first bytes (0 for none): the SQLite header, its
// rollback journal or write-ahead log, or an Access file's signature.
int ClaseDeBase(const std::string& ruta) {
    const std::string c = Cabecera(ruta, 20);
    static const std::string_view kSqlite("SQLite format 3\0", 16);
    static const std::string_view kDiario("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    if (c.rfind(kSqlite, 0) == 0 || c.rfind(kDiario, 0) == 0 ||
        c.rfind("\x37\x7f\x06\x82", 0) == 0 || c.rfind("\x37\x7f\x06\x83", 0) == 0)
        return motivo::kSqlite;
    if (c.size() >= 19 &&
        (c.compare(4, 15, "Standard Jet DB") == 0 || c.compare(4, 15, "Standard ACE DB") == 0))
        return motivo::kAccess;
    return 0;
}

// A companion file of a SQLite database beside it (its journal, log or shared memory).
bool AcompanaUnaBase(const fs::path& destino) {
    const std::string nombre = destino.string();
    for (std::string_view sufijo : {"-journal", "-wal", "-shm"}) {
        if (nombre.size() > sufijo.size() &&
            nombre.compare(nombre.size() - sufijo.size(), sufijo.size(), sufijo) == 0 &&
            ClaseDeBase(nombre.substr(0, nombre.size() - sufijo.size())) == motivo::kSqlite)
            return true;
    }
    return false;
}

std::optional<Identidad> IdentidadDeBase(const std::shared_ptr<engine::Database>& bd) {
    if (!bd || !bd->IsOpen())
        return std::nullopt;
    return IdentidadDe(bd->Name());
}

// The reason (a text id) why an existing regular file may not be replaced; 0 when it may.
int MotivoContra(const fs::path& destino, const Identidad& id, Reemplazo reemplazo) {
    const fs::path aplicacion = DirectorioAplicacion();
    const BasesAbiertas abiertas = LasBasesAbiertas();
    if (IdentidadDeBase(abiertas.usuario) == id)
        return motivo::kBaseUsuario;
    if (IdentidadDeBase(abiertas.auxiliar) == id)
        return motivo::kBaseAuxiliar;
    if (IdentidadDe((aplicacion / "bdaux.db").string()) == id)
        return motivo::kPlantilla;
    if (IdentidadDe((aplicacion / "veliora.ini").string()) == id)
        return motivo::kAjustes;
    if (EsProtegido(id))
        return motivo::kProtegido;
    if (AbiertoPorElPrograma(id))
        return motivo::kAbierto;
    const int clase = ClaseDeBase(destino.string());
    if (clase == motivo::kSqlite && reemplazo == Reemplazo::Auxiliar &&
        EsBaseAuxiliar(destino.string()))
        return 0;
    if (clase != 0)
        return clase;
    return AcompanaUnaBase(destino) ? motivo::kSqlite : 0;
}

bool Rechazar(const fs::path& destino, int numero, int idMotivo, engine::Error& error) {
    error = engine::FileFailure(engine::Code::WriteRefused, destino.string(), numero);
    error.amount = idMotivo;
    return false;
}

bool FalloSistema(const fs::path& ruta, int numero, engine::Error& error) {
    error =
        engine::FileFailure(engine::Code::WriteFailed, ruta.string(), numero != 0 ? numero : EIO,
                            std::generic_category().message(numero));
    return false;
}

fs::path Carpeta(const fs::path& destino) {
    return destino.has_parent_path() ? destino.parent_path() : fs::path(".");
}

// Whether a process of that number still runs (one of another user counts).
bool ProcesoVivo(long pid) {
    return pid > 0 && (kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// The process number of a temporary file's name "<nombre>.parcial-<pid>[-<n>]"; 0 when the
// name is not one (or belongs to another destination when `nombre` is given).
long PidDeParcial(const std::string& archivo, const std::string& nombre) {
    static const std::string kMarca = ".parcial-";
    const auto p = archivo.rfind(kMarca);
    if (p == std::string::npos || p == 0 || (!nombre.empty() && archivo.compare(0, p, nombre) != 0))
        return 0;
    std::size_t i = p + kMarca.size(), digitos = 0;
    long pid = 0;
    for (; i < archivo.size() && archivo[i] >= '0' && archivo[i] <= '9' && digitos < 10;
         ++i, ++digitos)
        pid = pid * 10 + (archivo[i] - '0');
    if (digitos == 0)
        return 0;
    if (i < archivo.size()) {
        if (archivo[i] != '-' || i + 1 == archivo.size())
            return 0;
        for (++i; i < archivo.size(); ++i)
            if (archivo[i] < '0' || archivo[i] > '9')
                return 0;
    }
    return pid;
}

}  // namespace

void FijarBasesAbiertas(std::function<BasesAbiertas()> consulta) {
    std::lock_guard<std::mutex> lock(MutexConsulta());
    ConsultaBases() = std::move(consulta);
}

bool ComprobarDestino(const fs::path& destino, engine::Error& error, Reemplazo reemplazo) {
    error.clear();
    struct stat propio {};
    if (destino.empty() || destino.filename().empty())
        return Rechazar(destino, EISDIR, motivo::kEspecial, error);
    if (lstat(destino.c_str(), &propio) != 0)
        return errno == ENOENT || FalloSistema(destino, errno, error);
    if (S_ISLNK(propio.st_mode))
        return Rechazar(destino, ELOOP, motivo::kEnlace, error);
    if (!S_ISREG(propio.st_mode) || engine::IsSpecialFile(destino.string()))
        return Rechazar(destino, EISDIR, motivo::kEspecial, error);
    if (reemplazo == Reemplazo::Propio)
        return true;
    const int motivo = MotivoContra(destino, {propio.st_dev, propio.st_ino}, reemplazo);
    return motivo == 0 ||
           Rechazar(destino, motivo >= motivo::kSqlite ? EEXIST : EBUSY, motivo, error);
}

EscrituraSegura::~EscrituraSegura() {
    Descartar();
}

void EscrituraSegura::Descartar() {
    CerrarDescriptor();
    if (!temporal_.empty() && !confirmada_)
        unlink(temporal_.c_str());
    temporal_.clear();
}

void EscrituraSegura::CerrarDescriptor() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

bool EscrituraSegura::Abrir(const fs::path& destino, engine::Error& error, Reemplazo reemplazo) {
    Descartar();
    confirmada_ = false;
    destino_ = destino;
    reemplazo_ = reemplazo;
    if (!ComprobarDestino(destino, error, reemplazo))
        return false;
    const fs::path carpeta = Carpeta(destino);
    const std::string nombre = destino.filename().string();
    LimpiarParciales(carpeta, nombre);
    static std::atomic<unsigned> contador{0};
    for (int intento = 0; fd_ < 0; ++intento) {
        temporal_ = carpeta / (nombre + ".parcial-" + std::to_string(getpid()) + "-" +
                               std::to_string(contador++));
        fd_ = open(temporal_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0 && (errno != EEXIST || intento > 100)) {
            const int numero = errno;
            temporal_.clear();
            error = engine::FileFailure(engine::Code::NoTemporary, destino.string(), numero,
                                        std::generic_category().message(numero));
            return false;
        }
    }
    // The new file keeps the permissions of the one it replaces.
    struct stat anterior {};
    if (lstat(destino.c_str(), &anterior) == 0 && S_ISREG(anterior.st_mode))
        fchmod(fd_, anterior.st_mode & 07777);
    return true;
}

bool EscrituraSegura::Escribir(std::string_view bytes, engine::Error& error) {
    while (!bytes.empty()) {
        const ssize_t n = fd_ < 0 ? -1 : write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return FalloSistema(destino_, fd_ < 0 ? EBADF : errno, error);
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

bool EscrituraSegura::Confirmar(engine::Error& error) {
    if (temporal_.empty())
        return FalloSistema(destino_, EBADF, error);
    if (fd_ < 0)
        fd_ = open(temporal_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    const bool enDisco = fd_ >= 0 && fsync(fd_) == 0;
    const int numero = errno;
    CerrarDescriptor();
    if (!enDisco)
        return FalloSistema(destino_, numero, error);
    // Checked again: a link or a database may have appeared there while the file was made.
    if (!ComprobarDestino(destino_, error, reemplazo_))
        return false;
    if (rename(temporal_.c_str(), destino_.c_str()) != 0)
        return FalloSistema(destino_, errno, error);
    confirmada_ = true;
    const int carpeta = open(Carpeta(destino_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (carpeta >= 0) {
        fsync(carpeta);  // the rename itself reaches the disk
        close(carpeta);
    }
    return true;
}

bool EscribirSalida(const fs::path& destino, std::string_view bytes, engine::Error& error,
                    Reemplazo reemplazo) {
    EscrituraSegura escritura;
    return escritura.Abrir(destino, error, reemplazo) && escritura.Escribir(bytes, error) &&
           escritura.Confirmar(error);
}

bool CopiarArchivo(const fs::path& origen, const fs::path& destino, engine::Error& error,
                   Reemplazo reemplazo) {
    // Not waiting on a pipe: only a regular file is read.
    const int fd = open(origen.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int numero = fd < 0 ? errno : EISDIR;
        if (fd >= 0)
            close(fd);
        error = engine::FileFailure(engine::Code::ReadFailed, origen.string(), numero,
                                    std::generic_category().message(numero));
        return false;
    }
    EscrituraSegura escritura;
    bool ok = escritura.Abrir(destino, error, reemplazo);
    char bloque[64 * 1024];
    while (ok) {
        const ssize_t n = read(fd, bloque, sizeof bloque);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int numero = errno;
            error = engine::FileFailure(engine::Code::ReadFailed, origen.string(), numero,
                                        std::generic_category().message(numero));
            ok = false;
        }
        if (n <= 0)
            break;
        ok = escritura.Escribir({bloque, std::size_t(n)}, error);
    }
    close(fd);
    return ok && escritura.Confirmar(error);
}

void LimpiarParciales(const fs::path& carpeta, const std::string& nombre) {
    std::error_code ec;
    for (fs::directory_iterator it(carpeta, ec), fin; !ec && it != fin; it.increment(ec)) {
        const long pid = PidDeParcial(it->path().filename().string(), nombre);
        std::error_code ecTipo;
        if (pid == 0 || pid == long(getpid()) || ProcesoVivo(pid) ||
            it->symlink_status(ecTipo).type() != fs::file_type::regular)
            continue;
        unlink(it->path().c_str());
    }
}

ArchivoProtegido::ArchivoProtegido(const fs::path& ruta) {
    const auto id = IdentidadDe(ruta.string());
    if (!id)
        return;
    dispositivo_ = id->dispositivo;
    nodo_ = id->nodo;
    activo_ = true;
    std::lock_guard<std::mutex> lock(MutexProtegidos());
    Protegidos().push_back(*id);
}

ArchivoProtegido::~ArchivoProtegido() {
    if (!activo_)
        return;
    std::lock_guard<std::mutex> lock(MutexProtegidos());
    auto& v = Protegidos();
    const auto it = std::find(v.begin(), v.end(), Identidad{dispositivo_, nodo_});
    if (it != v.end())
        v.erase(it);
}

}  // namespace veliora
