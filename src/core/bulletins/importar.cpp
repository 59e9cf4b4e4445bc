#include "core/bulletins/importar.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <system_error>
#include <vector>

#include "core/engine/database.h"
#include "core/shell/directorio.h"
#include "core/shell/salidas.h"

namespace veliora {

namespace fs = std::filesystem;

namespace {

// Every bulletin header and line of an auxiliary database, as one comparable text; nothing
// when the file is not one.
std::optional<std::string> FirmaBoletines(const fs::path& ruta) {
    std::string firma;
    for (const char* sql :
         {"select Nombre from CabBoletines order by Nombre",
          "select NombreBoletin, NumPregunta, Pregunta, Respuesta from LBoletines "
          "order by NombreBoletin, NumPregunta"}) {
        const auto filas = engine::ReadRows(ruta.string(), sql);
        if (!filas)
            return std::nullopt;
        for (const auto& fila : *filas) {
            for (const std::string& valor : fila)
                firma += std::to_string(valor.size()) + ':' + valor;
            firma += '\n';
        }
        firma += "--\n";
    }
    return firma;
}

bool MismosBoletines(const fs::path& a, const fs::path& b) {
    auto fa = FirmaBoletines(a);
    auto fb = FirmaBoletines(b);
    return fa && fb && *fa == *fb;
}

// Loads the incoming file into the open connection (SQLite's online backup): the
// connection and every window holding it stay valid and see the new bulletins, and a file
// that is not a database leaves the open one as it was.
bool ReemplazarAbierta(const fs::path& origen, engine::Database& abierta, engine::Error& error) {
    return abierta.ReplaceWith(origen.string(), error);
}

bool EsAuxiliar(const std::string& nombre) {
    return !nombre.empty() && nombre.back() == '_';
}

bool MismoArchivo(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

bool ArchivoPropio(const std::string& nombre) {
    static const char* const kPropios[] = {"veliora.ini",  "bdaux.db",    "AYUDA",
                                           "MANUAL.HTM",   "MANUALV.HTM", "SINTAXIS.HTM",
                                           "SINTAXISV.HTM"};
    const std::string clave = engine::UpperText(nombre);
    return std::any_of(std::begin(kPropios), std::end(kPropios),
                       [&](const char* p) { return engine::UpperText(p) == clave; });
}

namespace {

// The folder's own regular files, by name: symbolic links are not followed.
std::vector<fs::path> ArchivosDeCarpeta(const fs::path& origen, std::error_code& ec) {
    std::vector<fs::path> archivos;
    fs::directory_iterator it(origen, ec);
    for (fs::directory_iterator fin; !ec && it != fin; it.increment(ec)) {
        const std::string nombre = it->path().filename().string();
        std::error_code ecTipo;
        if (nombre.empty() || nombre.front() == '.' || !it->is_regular_file(ecTipo) ||
            it->is_symlink(ecTipo))
            continue;
        archivos.push_back(it->path());
    }
    std::sort(archivos.begin(), archivos.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    return archivos;
}

// How an incoming file lands on `final`.
struct Llegada {
    fs::path archivo, final;
    bool auxiliar = false, existe = false;
    bool enAbierta = false;  // onto the open auxiliary database
    fs::file_status estado;
    Reemplazo reemplazo = Reemplazo::Ninguno;
};

Llegada ComoLlega(const fs::path& archivo, const fs::path& final, engine::Database* abierta) {
    Llegada l;
    l.archivo = archivo;
    l.final = final;
    l.auxiliar = EsAuxiliar(archivo.filename().string());
    std::error_code ec;
    l.estado = fs::symlink_status(final, ec);
    l.existe = fs::exists(l.estado);
    // The open auxiliary database is loaded into its connection: only a link or a special
    // file in its place is refused.
    l.enAbierta = abierta && abierta->IsOpen() && l.existe && fs::is_regular_file(l.estado) &&
                  MismoArchivo(final, abierta->Name());
    l.reemplazo = l.enAbierta  ? Reemplazo::Propio
                  : l.auxiliar ? Reemplazo::Auxiliar
                               : Reemplazo::Ninguno;
    return l;
}

// Why the file cannot be copied; nothing when it can.
std::optional<engine::Error> Impedimento(const Llegada& l) {
    if (ArchivoPropio(l.archivo.filename().string()))
        return engine::Failure(engine::Code::OwnFile);
    // Only a whole auxiliary database replaces one: a damaged or foreign file would take the
    // place of a teacher's bulletins.
    if (l.auxiliar && !EsBaseAuxiliar(l.archivo))
        return engine::Failure(engine::Code::NotAuxiliaryFile);
    engine::Error error;
    if (!ComprobarDestino(l.final, error, l.reemplazo))
        return error;
    // Checked by its permissions, not by trying: a rename would replace it regardless.
    if (l.existe && (l.estado.permissions() & fs::perms::owner_write) == fs::perms::none)
        return engine::Failure(engine::Code::TargetReadOnly);
    return std::nullopt;
}

}  // namespace

ResultadoImportacion ImportarBoletines(const fs::path& origen, const fs::path& destino,
                                       const AvisosImportacion& avisos, engine::Database* abierta) {
    ResultadoImportacion r;
    std::error_code ec;
    const std::vector<fs::path> archivos = ArchivosDeCarpeta(origen, ec);
    if (ec) {
        r.listado = false;
        r.errorListado = engine::SystemFailure(ec.value() != 0 ? ec.value() : EIO, ec.message());
        return r;
    }
    bool todos = false;
    for (const fs::path& archivo : archivos) {
        const std::string nombre = archivo.filename().string();
        auto fallar = [&](const engine::Error& e) {
            ++r.fallidos;
            if (avisos.fallo)
                avisos.fallo(nombre, e);
        };
        const Llegada l = ComoLlega(archivo, destino / nombre, abierta);
        if (const auto impedimento = Impedimento(l)) {
            fallar(*impedimento);
            continue;
        }
        if (l.existe && l.auxiliar && !todos && !MismosBoletines(archivo, l.final)) {
            const Sustituir respuesta = avisos.preguntar ? avisos.preguntar(nombre) : Sustituir::No;
            if (respuesta == Sustituir::No) {
                ++r.omitidos;
                continue;
            }
            todos = respuesta == Sustituir::SiATodos;
        }
        engine::Error error;
        const bool hecho = l.enAbierta ? ReemplazarAbierta(archivo, *abierta, error)
                                       : CopiarArchivo(archivo, l.final, error, l.reemplazo);
        if (hecho)
            ++r.copiados;
        else
            fallar(error);
    }
    return r;
}

}  // namespace veliora
