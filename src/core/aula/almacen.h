#pragma once
// The class record: classes with their join codes, the material published to them in
// versions, their students and every attempt the students send. One interface, two stores:
// an embedded SQLite file (one machine) and a PostgreSQL class server.

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/aula/error.h"

namespace veliora::aula {

struct Clase {
    std::string nombre;
    std::string codigo;  // the join code; on a server also the class login's password
};

// One published version: the practice database file and its auxiliary database (dictionary
// and bulletins), as bytes with their SHA-256 (lower-case hex).
struct Material {
    int version = 0;
    std::string nombreBd;  // file name the students save it under
    std::string bd, hashBd;
    std::string aux, hashAux;  // empty when published without one
};

struct Publicacion {
    int version = 0;
    std::string hash;  // of the database file
};

// Who a student is to the store: the class code, their name and the secret derived from
// their password (see Secreto in membresia.h).
struct Alumno {
    std::string clase;
    std::string nombre;
    std::string secreto;
};

// Milliseconds since 1970-01-01 UTC; 0 when unknown.
using Instante = std::int64_t;
Instante Ahora();

struct Intento {
    std::string uuid;    // made on the student's machine: the key, so a resend is a no-op
    std::string alumno;  // filled when the teacher reads attempts back
    std::string hashBd;  // of the database the answer was checked on
    // Bulletin mode when `boletin` is not empty; random mode keeps the question instead.
    std::string boletin;
    int numero = 0;
    std::string pregunta, solucion;
    std::string respuesta;
    std::string veredicto;  // correcto, erroneo, correcto_solo_aqui, respuesta_invalida...
    std::string motivo;     // why nothing could be judged, when so
    std::optional<std::int64_t> filasRespuesta, filasSolucion;
    std::optional<std::int64_t> columnasRespuesta, columnasSolucion;
    Instante mostrada = 0, comprobada = 0;
    std::string versionPrograma;

    bool ModoBoletin() const { return !boletin.empty(); }
};

// The best verdict of a question, from the attempts that reached one.
enum class Mejor { Incorrecto = 1, CorrectoSoloAqui = 2, Correcto = 3 };
// "correcto", "correcto_solo_aqui", "incorrecto".
const char* NombreMejor(Mejor mejor);
// Correcto and CorrectoSoloAqui as themselves; every other verdict counts as wrong.
Mejor MejorDeVeredicto(const std::string& veredicto);

struct Celda {
    Mejor mejor = Mejor::Incorrecto;
    int intentos = 0;
};
using ClavePregunta = std::pair<std::string, int>;  // bulletin, number

struct FilaSeguimiento {
    std::string alumno;
    int intentos = 0;                          // every attempt (random mode included)
    int correctos = 0;                         // attempts judged right
    std::map<ClavePregunta, Celda> preguntas;  // bulletin questions tried
};
// Every student of a class in name order, with or without attempts.
using Seguimiento = std::vector<FilaSeguimiento>;

class Almacen {
  public:
    virtual ~Almacen() = default;

    // ---- The teacher ----
    // A new class with a fresh join code (on a server, also its login role).
    virtual std::optional<Clase> CrearClase(const std::string& nombre, Error& error) = 0;
    // The material as the class's next version.
    virtual std::optional<Publicacion> Publicar(const std::string& codigo, const Material& material,
                                                Error& error) = 0;
    // The overview of a class; `boletin` keeps that bulletin's attempts alone.
    virtual std::optional<Seguimiento> Seguir(const std::string& codigo, const std::string& boletin,
                                              Error& error) = 0;
    // One student's attempts at one bulletin question, oldest first.
    virtual std::vector<Intento> IntentosPregunta(const std::string& codigo,
                                                  const std::string& alumno,
                                                  const ClavePregunta& pregunta, Error& error) = 0;

    // ---- The student ----
    // The first join of a name stores its secret; later ones must give the same. Returns the
    // class's name.
    virtual std::optional<std::string> Unirse(const Alumno& alumno, Error& error) = 0;
    // The latest published version (nothing published: SinMaterial).
    virtual std::optional<Publicacion> UltimaVersion(const Alumno& alumno, Error& error) = 0;
    virtual std::optional<Material> Descargar(const Alumno& alumno, Error& error) = 0;
    // Stores the attempt once: an attempt whose uuid is known already changes nothing.
    virtual bool Registrar(const Alumno& alumno, const Intento& intento, Error& error) = 0;
    // The student's own attempts, oldest first.
    virtual std::vector<Intento> MisIntentos(const Alumno& alumno, Error& error) = 0;
};

// The newest schema this program writes.
inline constexpr int kVersionEsquema = 2;

// The embedded store in the SQLite file `ruta`, created or upgraded.
std::unique_ptr<Almacen> AbrirEmbebido(const std::string& ruta, Error& error);
// A class server as the teacher (the login the connection string gives, its password the
// libpq way, or `contrasena` when not empty); creates or upgrades the schema.
std::unique_ptr<Almacen> AbrirProfesor(const std::string& servidor, const std::string& contrasena,
                                       Error& error);
// A class server as a student of the class `codigo`: the class's own login, whatever user the
// connection string names.
std::unique_ptr<Almacen> AbrirAlumno(const std::string& servidor, const std::string& codigo,
                                     Error& error);

// A name as stored (blanks at both ends removed); Nombre when it is empty, longer than 100
// characters or holds control characters.
std::optional<std::string> NormalizarNombre(const std::string& nombre, Error& error);
// A join code as typed (any letter case, blanks and hyphens) in its stored form.
std::string NormalizarCodigo(const std::string& codigo);

namespace prueba {
// Opens a store leaving its schema at `version` (older than kVersionEsquema), as an older
// program left it; an empty `servidor` is the embedded store at `ruta`. Tests only.
std::unique_ptr<Almacen> AbrirEnVersion(const std::string& servidor, const std::string& ruta,
                                        int version, Error& error);
}  // namespace prueba

}  // namespace veliora::aula
