#pragma once
// A real PostgreSQL class server for the tests: scripts/class-server in a temporary folder on
// a free port (run as the unprivileged user postgres when the tests run as root), stopped
// when the test program ends. The teacher's password reaches libpq through PGPASSFILE.

#include <memory>
#include <string>

namespace veliora::test {

class ServidorPg {
  public:
    // The program's one server, started on first use; null when PostgreSQL cannot run here,
    // with the reason in `motivo`. A `rapido` server never flushes to disk (tests); the
    // benchmarks measure one that does, as a class server would.
    static ServidorPg* Compartido(std::string& motivo, bool rapido = true);
    ~ServidorPg();

    // The teacher's connection string.
    std::string Uri(const std::string& baseDatos = "veliora") const;
    // What a student types: "127.0.0.1:port".
    std::string Direccion() const;
    // Stops the server, at once (pg_ctl -m immediate: no client is told) or cleanly.
    bool Parar(bool inmediato);
    bool Arrancar();
    // A new empty database owned by the teacher.
    bool NuevaBaseDatos(const std::string& nombre);

  private:
    ServidorPg() = default;
    std::string ComoServidor() const;

    std::string bin_, carpeta_;
    int puerto_ = 0;
    bool rapido_ = true;
};

}  // namespace veliora::test

// Skips the test, with the reason, when no server can run.
#define VELIORA_SERVIDOR_PG(variable)                                            \
    std::string motivo_##variable;                                               \
    auto* variable = ::veliora::test::ServidorPg::Compartido(motivo_##variable); \
    if (!variable)                                                               \
    GTEST_SKIP() << motivo_##variable
