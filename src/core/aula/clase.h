#pragma once
// The class as the program uses it: the store of a server address or of the application
// directory, publishing a database, joining a class and downloading its material, recording
// checks and sending them.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/aula/almacen.h"
#include "core/aula/buzon.h"
#include "core/aula/membresia.h"
#include "core/practice/juez.h"

namespace veliora::aula {

// The embedded store of an application directory ("aula.db").
std::filesystem::path RutaEmbebido(const std::filesystem::path& directorio);
// The teacher's store: the server at `servidor`, or the embedded one when it is empty.
std::unique_ptr<Almacen> AlmacenProfesor(const std::filesystem::path& directorio,
                                         const std::string& servidor, const std::string& contrasena,
                                         Error& error);
// A student's store of the class `codigo`, likewise.
std::unique_ptr<Almacen> AlmacenAlumno(const std::filesystem::path& directorio,
                                       const std::string& servidor, const std::string& codigo,
                                       Error& error);

// Publishes the database `bd` with its auxiliary database `aux` (when there is one) under
// the file name `nombre`.
std::optional<Publicacion> PublicarBaseDatos(Almacen& almacen, const std::string& codigo,
                                             const std::filesystem::path& bd,
                                             const std::filesystem::path& aux,
                                             const std::string& nombre, Error& error);

// The published name of a database file: its own when the program opens it by that
// extension, else its stem with ".db" (an Access file is published as its conversion).
std::string NombrePublicado(const std::filesystem::path& archivo);

// Where the material of a class is kept: the database in "clases/<code>/" of the
// application directory, its auxiliary database where the program looks for it.
std::filesystem::path RutaBdClase(const std::filesystem::path& directorio,
                                  const std::string& codigo, const std::string& nombre);

// Joins the class (the first join of a name sets its password), downloads its latest
// material into the application directory and keeps the membership there. `abierta`: the
// auxiliary database open now, if any (see GuardarMaterial).
std::optional<Membresia> UnirseAClase(const std::filesystem::path& directorio,
                                      const std::string& servidor, const std::string& codigo,
                                      const std::string& alumno, const std::string& contrasena,
                                      Error& error, engine::Database* abierta = nullptr);
// The latest published version, when it is newer than the membership's (nothing otherwise).
std::optional<Publicacion> VersionNueva(Almacen& almacen, const Membresia& membresia, Error& error);
// Downloads the latest material and keeps the new version in the membership.
std::optional<Membresia> DescargarMaterial(const std::filesystem::path& directorio,
                                           Almacen& almacen, Membresia membresia, Error& error,
                                           engine::Database* abierta = nullptr);

// SHA-256 of a file's bytes, remembered while the file keeps its size and time.
std::string HashArchivo(const std::filesystem::path& ruta, Error& error);

// An attempt made of a check: a new uuid, the verdict and the differences' counts.
struct DatosIntento {
    std::string hashBd;
    std::string boletin;  // empty: random mode
    int numero = 0;
    std::string pregunta, solucion, respuesta;
    Instante mostrada = 0;
};
Intento NuevoIntento(const DatosIntento& datos, const Juicio& juicio);
// The attempt of a check on the database file `rutaBd` for the class this application
// directory joined; nothing when it joined none. Reads the file (its hash): not on a window's
// thread.
std::optional<Intento> IntentoDeClase(const std::filesystem::path& directorio,
                                      const std::string& rutaBd, DatosIntento datos,
                                      const Juicio& juicio);

// The stored answer of question `numero` of `boletin` in an auxiliary database; nothing when
// there is no such question.
std::optional<std::string> RespuestaGuardada(engine::Database& auxiliar, const std::string& boletin,
                                             int numero, engine::Error& error);
// What an attempt was judged against, to judge it again: its own solution in random mode, its
// bulletin question's stored answer in bulletin mode.
std::optional<std::string> SolucionDeIntento(engine::Database& auxiliar, const Intento& intento,
                                             engine::Error& error);

struct EstadoEnvio {
    int enviados = 0;
    int pendientes = 0;
};

// Records and sends the attempts of the application directory's membership. Keeps its
// connection between sends and connects again after a failure. Each call clears `error`
// first. Not thread-safe: one sender per thread.
class Remitente {
  public:
    explicit Remitente(std::filesystem::path directorio);
    ~Remitente();
    // Keeps the attempt in the outbox (SinClase when no class was joined).
    bool Anotar(const Intento& intento, Error& error);
    // Sends what is pending. `error` tells why some are left.
    EstadoEnvio Enviar(Error& error);
    int Pendientes(Error& error);

  private:
    bool Preparar(Error& error);

    std::filesystem::path directorio_;
    std::optional<Membresia> membresia_;
    std::unique_ptr<Buzon> buzon_;
    std::unique_ptr<Almacen> almacen_;
};

}  // namespace veliora::aula
