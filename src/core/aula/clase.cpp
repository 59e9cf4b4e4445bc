#include "core/aula/clase.h"

#include <QCryptographicHash>
#include <QFile>
#include <QUuid>
#include <map>
#include <mutex>

#include "core/aula/archivos.h"
#include "core/bulletins/boletines.h"

namespace veliora::aula {

namespace fs = std::filesystem;

fs::path RutaEmbebido(const fs::path& directorio) {
    return directorio / "aula.db";
}

std::unique_ptr<Almacen> AlmacenProfesor(const fs::path& directorio, const std::string& servidor,
                                         const std::string& contrasena, Error& error) {
    if (servidor.empty())
        return AbrirEmbebido(RutaEmbebido(directorio).string(), error);
    return AbrirProfesor(servidor, contrasena, error);
}

std::unique_ptr<Almacen> AlmacenAlumno(const fs::path& directorio, const std::string& servidor,
                                       const std::string& codigo, Error& error) {
    if (servidor.empty())
        return AbrirEmbebido(RutaEmbebido(directorio).string(), error);
    return AbrirAlumno(servidor, codigo, error);
}

std::optional<Publicacion> PublicarBaseDatos(Almacen& almacen, const std::string& codigo,
                                             const fs::path& bd, const fs::path& aux,
                                             const std::string& nombre, Error& error) {
    const auto material = LeerMaterial(bd, aux, nombre, error);
    if (!material)
        return std::nullopt;
    return almacen.Publicar(codigo, *material, error);
}

fs::path RutaBdClase(const fs::path& directorio, const std::string& codigo,
                     const std::string& nombre) {
    return directorio / "clases" / NormalizarCodigo(codigo) / nombre;
}

std::string NombrePublicado(const fs::path& archivo) {
    Error e;
    const std::string nombre = archivo.filename().string();
    return NombrePublicable(nombre, e) ? nombre : archivo.stem().string() + ".db";
}

std::optional<Membresia> DescargarMaterial(const fs::path& directorio, Almacen& almacen,
                                           Membresia membresia, Error& error,
                                           engine::Database* abierta) {
    const auto material = almacen.Descargar(membresia.Credencial(), error);
    if (!material || !NombrePublicable(material->nombreBd, error))
        return std::nullopt;
    const fs::path bd = RutaBdClase(directorio, membresia.clase, material->nombreBd);
    if (!GuardarMaterial(*material, bd, directorio / (material->nombreBd + "_"), error, abierta))
        return std::nullopt;
    membresia.bd = bd.string();
    membresia.version = material->version;
    membresia.hash = material->hashBd;
    if (!GuardarMembresia(directorio, membresia, error))
        return std::nullopt;
    return membresia;
}

std::optional<Membresia> UnirseAClase(const fs::path& directorio, const std::string& servidor,
                                      const std::string& codigo, const std::string& alumno,
                                      const std::string& contrasena, Error& error,
                                      engine::Database* abierta) {
    const auto nombre = NormalizarNombre(alumno, error);
    if (!nombre)
        return std::nullopt;
    if (contrasena.empty()) {
        error = {Fallo::Nombre, {}};
        return std::nullopt;
    }
    auto almacen = AlmacenAlumno(directorio, servidor, codigo, error);
    if (!almacen)
        return std::nullopt;
    Membresia membresia;
    membresia.servidor = servidor;
    membresia.clase = NormalizarCodigo(codigo);
    membresia.alumno = *nombre;
    membresia.secreto = Secreto(codigo, *nombre, contrasena);
    const auto nombreClase = almacen->Unirse(membresia.Credencial(), error);
    if (!nombreClase)
        return std::nullopt;
    membresia.nombreClase = *nombreClase;
    return DescargarMaterial(directorio, *almacen, std::move(membresia), error, abierta);
}

std::optional<Publicacion> VersionNueva(Almacen& almacen, const Membresia& membresia,
                                        Error& error) {
    const auto ultima = almacen.UltimaVersion(membresia.Credencial(), error);
    if (!ultima || ultima->version <= membresia.version)
        return std::nullopt;
    return ultima;
}

std::string HashArchivo(const fs::path& ruta, Error& error) {
    struct Huella {
        std::uintmax_t tamano;
        fs::file_time_type hora;
        std::string hash;
    };
    static std::mutex mutex;
    static std::map<fs::path, Huella> recordadas;
    std::error_code ec;
    const auto tamano = fs::file_size(ruta, ec);
    const auto hora = fs::last_write_time(ruta, ec);
    QFile archivo(QString::fromStdString(ruta.string()));
    if (ec || !archivo.open(QIODevice::ReadOnly)) {
        error = {Fallo::Archivo, ruta.string()};
        return {};
    }
    {
        std::lock_guard bloqueo(mutex);
        const auto it = recordadas.find(ruta);
        if (it != recordadas.end() && it->second.tamano == tamano && it->second.hora == hora)
            return it->second.hash;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&archivo);
    std::string hex = hash.result().toHex().toStdString();
    std::lock_guard bloqueo(mutex);
    recordadas[ruta] = {tamano, hora, hex};
    return hex;
}

Intento NuevoIntento(const DatosIntento& datos, const Juicio& juicio) {
    Intento i;
    i.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    i.hashBd = datos.hashBd;
    i.boletin = datos.boletin;
    i.numero = datos.boletin.empty() ? 0 : datos.numero;
    if (datos.boletin.empty()) {
        i.pregunta = datos.pregunta;
        i.solucion = datos.solucion;
    }
    i.respuesta = datos.respuesta;
    i.veredicto = CodigoVeredicto(juicio.resultado.veredicto);
    i.motivo = CodigoMotivo(juicio.resultado.motivo);
    if (juicio.diferencias) {
        const Diferencias& d = *juicio.diferencias;
        i.filasRespuesta = std::int64_t(d.filasRespuesta);
        i.filasSolucion = std::int64_t(d.filasSolucion);
        i.columnasRespuesta = d.columnasRespuesta;
        i.columnasSolucion = d.columnasSolucion;
    }
    i.mostrada = datos.mostrada;
    i.comprobada = Ahora();
    i.versionPrograma = VELIORA_VERSION;
    return i;
}

std::optional<Intento> IntentoDeClase(const fs::path& directorio, const std::string& rutaBd,
                                      DatosIntento datos, const Juicio& juicio) {
    std::error_code ec;
    if (!fs::exists(RutaMembresia(directorio), ec))
        return std::nullopt;
    Error e;
    datos.hashBd = HashArchivo(rutaBd, e);
    return NuevoIntento(datos, juicio);
}

std::optional<std::string> RespuestaGuardada(engine::Database& auxiliar, const std::string& boletin,
                                             int numero, engine::Error& error) {
    for (const LineaBoletin& linea : LeerBoletin(auxiliar, boletin, error))
        if (linea.NumPregunta == numero)
            return linea.Respuesta;
    return std::nullopt;
}

std::optional<std::string> SolucionDeIntento(engine::Database& auxiliar, const Intento& intento,
                                             engine::Error& error) {
    if (!intento.ModoBoletin())
        return intento.solucion;
    return RespuestaGuardada(auxiliar, intento.boletin, intento.numero, error);
}

Remitente::Remitente(fs::path directorio) : directorio_(std::move(directorio)) {}
Remitente::~Remitente() = default;

bool Remitente::Preparar(Error& error) {
    error.clear();
    auto membresia = LeerMembresia(directorio_, error);
    if (!membresia)
        return false;
    if (membresia_ &&
        (membresia_->servidor != membresia->servidor || membresia_->clase != membresia->clase))
        almacen_.reset();
    membresia_ = std::move(membresia);
    if (!buzon_)
        buzon_ = Buzon::Abrir(directorio_, error);
    return buzon_ != nullptr;
}

bool Remitente::Anotar(const Intento& intento, Error& error) {
    return Preparar(error) && buzon_->Guardar(*membresia_, intento, error);
}

int Remitente::Pendientes(Error& error) {
    return Preparar(error) ? buzon_->Pendientes(*membresia_, error) : 0;
}

EstadoEnvio Remitente::Enviar(Error& error) {
    EstadoEnvio estado;
    if (!Preparar(error))
        return estado;
    estado.pendientes = buzon_->Pendientes(*membresia_, error);
    if (estado.pendientes == 0 || error.failed())
        return estado;
    if (!almacen_)
        almacen_ = AlmacenAlumno(directorio_, membresia_->servidor, membresia_->clase, error);
    if (almacen_) {
        estado.enviados = buzon_->Enviar(*membresia_, *almacen_, error);
        // A store that failed may have lost its connection for good (another server, a
        // schema upgrade): the next send opens it again.
        if (error.failed())
            almacen_.reset();
    }
    Error ignorado;
    estado.pendientes = buzon_->Pendientes(*membresia_, ignorado);
    return estado;
}

}  // namespace veliora::aula
