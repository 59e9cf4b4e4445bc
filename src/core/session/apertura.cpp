#include "core/session/apertura.h"

#include <cerrno>
#include <memory>
#include <system_error>

#include "core/access/conversion.h"
#include "core/base/textos.h"
#include "core/shell/directorio.h"
#include "core/shell/errores.h"
#include "core/shell/salidas.h"

namespace veliora {

namespace fs = std::filesystem;

namespace {

// Returns the number of a failed step, never 0 (an OS error without a code still fails).
int NumeroError(const std::error_code& ec) {
    return ec.value() != 0 ? ec.value() : EIO;
}

void Informar(engine::Error* error, int numero, std::string descripcion) {
    if (error)
        *error = engine::SystemFailure(numero, std::move(descripcion));
}

}  // namespace

int AbrirBDUsuario(const std::string& ruta, std::shared_ptr<engine::Database>& destino,
                   std::unique_ptr<ArchivoProtegido>& origen, engine::Error* error) {
    engine::Error err;
    std::string sqlite = ruta;
    const bool esAccess = access::EsArchivoAccess(ruta);
    if (esAccess) {
        access::Conversion conversion;
        if (!access::Preparar(ruta, CarpetaConversiones(), conversion, err)) {
            if (error)
                *error = err;
            return NumeroDeError(err);
        }
        sqlite = conversion.destino.string();
    }
    auto bd = engine::Database::Open(sqlite, engine::Database::Kind::User, err);
    // A missing handle without an error number is still a failure for the caller.
    if (!bd && !err.failed())
        err = engine::Failure(engine::Code::NoHandle, ruta);
    if (!err.failed()) {
        destino = std::move(bd);
        origen = esAccess ? std::make_unique<ArchivoProtegido>(ruta) : nullptr;
    }
    if (error)
        *error = err;
    return NumeroDeError(err);
}

fs::path RutaBDAuxiliar(const std::string& nombreArchivo) {
    return DirectorioAplicacion() / (nombreArchivo + "_");
}

int AbrirBDAuxiliar(const std::string& nombreArchivo, const engine::Database* usuario,
                    std::shared_ptr<engine::Database>& destino, engine::Error* error) {
    const fs::path ruta = RutaBDAuxiliar(nombreArchivo);
    std::error_code ec;
    // A link that leads nowhere is no auxiliary database to open, nor a place to copy to.
    if (!fs::exists(fs::symlink_status(ruta, ec))) {
        const fs::path plantilla = DirectorioAplicacion() / "bdaux.db";
        if (!fs::is_regular_file(plantilla, ec)) {
            int numero = ec ? NumeroError(ec) : ENOENT;
            if (error)
                *error =
                    engine::FileFailure(engine::Code::TemplateMissing, plantilla.string(), numero);
            return numero;
        }
        engine::Error copia;
        if (!CopiarArchivo(plantilla, ruta, copia, Reemplazo::Propio)) {
            const int numero = NumeroDeError(copia);
            Informar(error, numero, Texto(1705, ruta.string()) + ": " + TextoDeError(copia));
            return numero;
        }
    }
    engine::Error err;
    // The user's database under the auxiliary's name (a link, a hard link) is never opened
    // for writing.
    if (usuario && usuario->IsOpen() && fs::equivalent(ruta, usuario->Name(), ec)) {
        if (error) {
            *error = engine::FileFailure(engine::Code::WriteRefused, ruta.string(), EBUSY);
            error->amount = 2103;  // the open database
        }
        return EBUSY;
    }
    auto bd = engine::Database::Open(ruta.string(), engine::Database::Kind::Auxiliary, err);
    if (!bd && !err.failed())
        err = engine::Failure(engine::Code::NoHandle, ruta.string());
    if (bd && !err.failed() && !TieneEstructuraAuxiliar(*bd, err))
        bd->Close();
    if (!err.failed())
        destino = std::move(bd);
    if (error)
        *error = err;
    return NumeroDeError(err);
}

fs::path RutaAyudaBD(const engine::Database* auxiliar) {
    if (!auxiliar)
        return {};
    const std::string& nombre = auxiliar->Name();
    // Dropping four characters ("mdb_" of alumnos.mdb_) names the page alumnos.htm; the same
    // page is meant for extensions of other lengths (tienda.db_ -> tienda.htm).
    if (nombre.size() > 1 && nombre.back() == '_') {
        fs::path usuario(nombre.substr(0, nombre.size() - 1));
        if (usuario.has_extension())
            return usuario.replace_extension(".htm");
    }
    if (nombre.size() < 4)
        return {};
    return fs::path(nombre.substr(0, nombre.size() - 4) + "htm");
}

}  // namespace veliora
