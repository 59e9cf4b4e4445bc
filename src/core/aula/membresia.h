#pragma once
// A student's membership of a class, kept in the application directory in a file only the
// user may read: the server, the class, the student and the secret needed to send later.

#include <filesystem>
#include <optional>
#include <string>

#include "core/aula/almacen.h"

namespace veliora::aula {

struct Membresia {
    std::string servidor;  // empty: the embedded store of the application directory
    std::string clase;     // join code
    std::string nombreClase;
    std::string alumno;
    std::string secreto;
    std::string bd;  // the downloaded database
    int version = 0;
    std::string hash;

    Alumno Credencial() const { return {clase, alumno, secreto}; }
};

// What the store keeps of a password: a hash bound to the class and the name, so that the
// membership file never holds the password the student typed.
std::string Secreto(const std::string& codigo, const std::string& alumno,
                    const std::string& contrasena);

// The membership file of an application directory ("clase.json").
std::filesystem::path RutaMembresia(const std::filesystem::path& directorio);
// SinClase when there is none.
std::optional<Membresia> LeerMembresia(const std::filesystem::path& directorio, Error& error);
bool GuardarMembresia(const std::filesystem::path& directorio, const Membresia& membresia,
                      Error& error);

}  // namespace veliora::aula
