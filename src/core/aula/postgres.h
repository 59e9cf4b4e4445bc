#pragma once
// A connection to a PostgreSQL server through libpq, every wait bounded by a deadline, every
// value a bound parameter.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/aula/error.h"

struct pg_conn;

namespace veliora::aula::pg {

// A parameter: null, text, or bytes sent as they are (bytea).
struct Parametro {
    std::optional<std::string> valor;
    bool binario = false;
};
Parametro Nulo();
Parametro Texto(std::string valor);
Parametro Entero(std::int64_t valor);
Parametro Bytes(std::string valor);

class Resultado {
  public:
    int Filas() const { return int(filas_.size()); }
    bool Nulo(int fila, int columna) const { return !filas_.at(fila).at(columna).has_value(); }
    const std::string& Texto(int fila, int columna) const;
    std::int64_t Entero(int fila, int columna) const;
    std::optional<std::int64_t> Opcional(int fila, int columna) const;
    // A bytea column, as its bytes.
    std::string Bytes(int fila, int columna) const;

  private:
    friend class Conexion;
    std::vector<std::vector<std::optional<std::string>>> filas_;
};

using Parametros = std::vector<std::pair<std::string, std::string>>;

// libpq's keywords for a server address as typed: a URI or key/value string stays as it is;
// a bare "host[:port]" becomes a URI of the database "veliora". `sustituir` come after it
// (they win over the string's own); when the string names no database, "veliora".
Parametros ParametrosConexion(const std::string& servidor, const Parametros& sustituir);

// Whether a server address as typed holds a password (never to be remembered).
bool NombraContrasena(const std::string& servidor);

class Conexion {
  public:
    // Connects within `plazo` (the whole connection, whatever the string's connect_timeout).
    static std::unique_ptr<Conexion> Abrir(const Parametros& parametros,
                                           std::chrono::milliseconds plazo, Error& error);
    ~Conexion();
    Conexion(const Conexion&) = delete;
    Conexion& operator=(const Conexion&) = delete;

    // Runs one statement with its parameters ($1, $2...) within the statement deadline.
    std::optional<Resultado> Ejecutar(std::string_view sql, const std::vector<Parametro>& params,
                                      Error& error);
    bool Ejecutar(std::string_view sql, Error& error);
    // Whether the connection was lost (server stopped, network gone).
    bool Perdida() const;
    // Connects again with the same parameters.
    bool Reabrir(Error& error);
    void FijarPlazo(std::chrono::milliseconds plazo) { plazo_ = plazo; }
    pg_conn* Nativa() const { return conn_; }

  private:
    Conexion() = default;
    bool Esperar(bool escribir, std::chrono::steady_clock::time_point limite);
    bool Conectar(Error& error);

    pg_conn* conn_ = nullptr;
    Parametros parametros_;
    std::chrono::milliseconds plazoConexion_{5000};
    std::chrono::milliseconds plazo_{30000};
};

}  // namespace veliora::aula::pg
