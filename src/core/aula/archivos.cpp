#include "core/aula/archivos.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/aula/interno.h"
#include "core/engine/database.h"
#include "core/shell/errores.h"

namespace veliora::aula {

namespace fs = std::filesystem;

namespace {

bool FalloSistema(const fs::path& ruta, Error& error) {
    error = {Fallo::Archivo, ruta.string() + ": " + std::strerror(errno)};
    return false;
}

bool EsEnlace(const fs::path& ruta) {
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(ruta, ec));
}

std::optional<std::string> LeerBytes(const fs::path& ruta, Error& error) {
    std::ifstream entrada(ruta, std::ios::binary);
    std::ostringstream bytes;
    if (!entrada || !(bytes << entrada.rdbuf())) {
        FalloSistema(ruta, error);
        return std::nullopt;
    }
    return std::move(bytes).str();
}

bool EsSqlite(std::string_view bytes) {
    static constexpr std::string_view kCabecera("SQLite format 3\0", 16);
    return bytes.substr(0, kCabecera.size()) == kCabecera;
}

// The auxiliary database's bytes while a write lock keeps every other writer out.
std::optional<std::string> LeerAuxiliar(const fs::path& aux, Error& error) {
    engine::Error e;
    auto bd = engine::Database::Open(aux.string(), engine::Database::Kind::Auxiliary, e);
    if (!bd || !bd->BeginTransaction(e)) {
        error = {Fallo::Archivo, aux.string() + ": " + TextoDeError(e)};
        return std::nullopt;
    }
    auto bytes = LeerBytes(aux, error);
    bd->Rollback();
    return bytes;
}

}  // namespace

bool EscribirArchivo(const fs::path& destino, std::string_view bytes, fs::perms permisos,
                     Error& error) {
    if (EsEnlace(destino)) {
        error = {Fallo::Archivo, destino.string()};
        return false;
    }
    std::error_code ec;
    fs::create_directories(destino.parent_path(), ec);
    std::string plantilla =
        (destino.parent_path() / ("." + destino.filename().string() + ".parcial-XXXXXX")).string();
    const int fd = mkstemp(plantilla.data());  // created 0600, readable by the user alone
    if (fd < 0)
        return FalloSistema(destino, error);
    const fs::path temporal(plantilla);
    std::size_t escritos = 0;
    while (escritos < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + escritos, bytes.size() - escritos);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        escritos += std::size_t(n);
    }
    const bool ok = escritos == bytes.size() && fchmod(fd, mode_t(permisos)) == 0 && fsync(fd) == 0;
    const int errorEscritura = errno;
    close(fd);
    if (!ok || std::rename(temporal.c_str(), destino.c_str()) != 0) {
        if (ok)
            FalloSistema(destino, error);
        else
            errno = errorEscritura, FalloSistema(destino, error);
        fs::remove(temporal, ec);
        return false;
    }
    return true;
}

bool NombrePublicable(const std::string& nombre, Error& error) {
    const fs::path ruta(nombre);
    const std::string extension = ruta.extension().string();
    const bool valido = !nombre.empty() && nombre.front() != '.' && ruta.filename() == ruta &&
                        nombre.find('\\') == std::string::npos &&
                        (extension == ".db" || extension == ".sqlite" || extension == ".sqlite3");
    if (!valido)
        error = {Fallo::Nombre, nombre};
    return valido;
}

std::optional<Material> LeerMaterial(const fs::path& bd, const fs::path& aux,
                                     const std::string& nombre, Error& error) {
    if (!NombrePublicable(nombre, error))
        return std::nullopt;
    std::error_code ec;
    if (fs::file_size(bd.string() + "-wal", ec) > 0 && !ec) {
        error = {Fallo::Archivo, bd.string() + "-wal"};
        return std::nullopt;
    }
    Material material;
    material.nombreBd = nombre;
    auto bytes = LeerBytes(bd, error);
    if (!bytes)
        return std::nullopt;
    if (!EsSqlite(*bytes)) {
        error = {Fallo::Archivo, bd.string()};
        return std::nullopt;
    }
    material.bd = std::move(*bytes);
    material.hashBd = interno::Sha256Hex(material.bd);
    if (fs::is_regular_file(aux, ec)) {
        auto auxiliar = LeerAuxiliar(aux, error);
        if (!auxiliar)
            return std::nullopt;
        material.aux = std::move(*auxiliar);
        material.hashAux = interno::Sha256Hex(material.aux);
    }
    return material;
}

namespace {

bool MismoArchivo(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// Loads the bytes into the open database `abierta` through a temporary file beside it.
bool CargarEnAbierta(engine::Database& abierta, std::string_view bytes, Error& error) {
    const fs::path temporal = fs::path(abierta.Name()).parent_path() /
                              ("." + fs::path(abierta.Name()).filename().string() + ".descarga");
    engine::Error e;
    const bool ok =
        EscribirArchivo(temporal, bytes, fs::perms::owner_read | fs::perms::owner_write, error) &&
        abierta.ReplaceWith(temporal.string(), e);
    if (e.failed())
        error = {Fallo::Archivo, TextoDeError(e)};
    std::error_code ec;
    fs::remove(temporal, ec);
    return ok;
}

}  // namespace

bool GuardarMaterial(const Material& material, const fs::path& bd, const fs::path& aux,
                     Error& error, engine::Database* abierta) {
    const bool conAux = !material.aux.empty() || !material.hashAux.empty();
    if (interno::Sha256Hex(material.bd) != material.hashBd ||
        (conAux && interno::Sha256Hex(material.aux) != material.hashAux) ||
        !EsSqlite(material.bd) || (conAux && !EsSqlite(material.aux))) {
        error = {Fallo::HashDistinto, material.nombreBd};
        return false;
    }
    constexpr auto kPermisos = fs::perms::owner_read | fs::perms::owner_write;
    if (!EscribirArchivo(bd, material.bd, kPermisos, error))
        return false;
    if (!conAux)
        return true;
    if (abierta && MismoArchivo(abierta->Name(), aux))
        return CargarEnAbierta(*abierta, material.aux, error);
    return EscribirArchivo(aux, material.aux, kPermisos, error);
}

}  // namespace veliora::aula
