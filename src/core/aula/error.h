#pragma once
// How the class's work fails: a code the caller tells apart, and the store's or the file
// system's own words for the details.

#include <string>

namespace veliora::aula {

enum class Fallo {
    Ninguno,
    SinRespuesta,      // the server cannot be reached or did not answer in time
    Acceso,            // the server refused the login (class code, teacher's password)
    ClaseDesconocida,  // no class has that code
    Contrasena,        // the student's password does not match the one of the first join
    Permiso,           // the server's rules refuse it to this login
    EsquemaNuevo,      // the record was written by a newer program
    EsquemaAntiguo,    // the record needs an upgrade only the teacher's program may make
    SinMaterial,       // nothing has been published in the class
    HashDistinto,      // downloaded bytes differ from what was published
    Archivo,           // a local file could not be read or written
    SinClase,          // this machine has not joined a class
    Nombre,            // a name, password or file name that cannot be used
    Almacen,           // any other failure of the store
};

struct Error {
    Fallo fallo = Fallo::Ninguno;
    std::string detalle;  // the store's, the server's or the system's message

    bool failed() const { return fallo != Fallo::Ninguno; }
    void clear() { *this = {}; }
};

// Stable name of a code for scripts ("unreachable", "login", "no_class", "password",
// "permission", "newer_schema", "older_schema", "nothing_published", "hash", "file",
// "not_joined", "name", "store"); empty for Ninguno.
const char* CodigoFallo(Fallo fallo);

}  // namespace veliora::aula
