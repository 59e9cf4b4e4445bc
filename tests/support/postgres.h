#pragma once
// A PostgreSQL server of a test's own: Debian's postgresql, initialised in a temporary
// folder and listening on a free port (its socket in that folder), run as an unprivileged
// user when the test runs as root. Stopped and removed when the object goes.

#include <filesystem>
#include <string>

#include "core/engine/database.h"

namespace veliora::test {

class ServidorPostgres {
  public:
    ServidorPostgres();
    ~ServidorPostgres();
    ServidorPostgres(const ServidorPostgres&) = delete;
    ServidorPostgres& operator=(const ServidorPostgres&) = delete;

    bool Disponible() const { return motivo_.empty(); }
    // Why it is not available (no postgresql installed, initdb failed...).
    const std::string& Motivo() const { return motivo_; }

    // Runs a script with psql, stopping at its first error; the exit code, and in `salida`
    // what psql printed, errors included.
    int Psql(const std::string& script, std::string& salida);

    // Copies every ordinary table of `origen` (definitions by declared type, and rows) into
    // the server, names double-quoted as they are spelt. False with psql's output when it fails.
    bool Copiar(engine::Database& origen, std::string& salida);

  private:
    int Ejecutar(const std::string& orden, std::string& salida);

    std::filesystem::path bin_, dir_;
    std::string prefijo_;  // runs a command as the unprivileged user
    int puerto_ = 0;
    std::string motivo_;
};

}  // namespace veliora::test
