#include "core/aula/postgres.h"

#include <poll.h>

#include <cstring>
#include <stdexcept>

#include "core/aula/libpq.h"

namespace veliora::aula::pg {

namespace {

using Reloj = std::chrono::steady_clock;

// Errors the class's own functions raise (see the server's schema), and the standard ones
// this program tells apart.
Fallo FalloDeEstado(std::string_view estado) {
    if (estado == "VA001")
        return Fallo::ClaseDesconocida;
    if (estado == "VA002")
        return Fallo::Contrasena;
    if (estado == "VA003")
        return Fallo::SinMaterial;
    if (estado == "42501" || estado == "42883")  // no privilege; a function not granted
        return Fallo::Permiso;
    if (estado.substr(0, 2) == "08" || estado.substr(0, 3) == "57P")
        return Fallo::SinRespuesta;
    return Fallo::Almacen;
}

std::string MensajeConexion(pg_conn* conn) {
    std::string mensaje = conn ? Pq().PQerrorMessage(conn) : "";
    while (!mensaje.empty() && (mensaje.back() == '\n' || mensaje.back() == ' '))
        mensaje.pop_back();
    return mensaje;
}

bool EsCadenaConexion(const std::string& servidor) {
    return servidor.find("://") != std::string::npos || servidor.find('=') != std::string::npos;
}

// "host", "host:port", an IPv6 address with or without brackets.
std::string UriDeDireccion(const std::string& direccion) {
    if (direccion.empty())
        return direccion;
    std::string host = direccion;
    std::string puerto;
    const auto dosPuntos = direccion.rfind(':');
    const bool ipv6 = direccion.find(':') != dosPuntos || direccion.front() == '[';
    if (dosPuntos != std::string::npos && dosPuntos > 0 &&
        (!ipv6 || direccion[dosPuntos - 1] == ']')) {
        host = direccion.substr(0, dosPuntos);
        puerto = direccion.substr(dosPuntos + 1);
    }
    if (host.find(':') != std::string::npos && host.front() != '[')
        host = "[" + host + "]";
    return "postgresql://" + host + (puerto.empty() ? "" : ":" + puerto) + "/veliora";
}

// Whether the connection string gives a value to libpq's `clave`.
bool NombraOpcion(const std::string& cadena, const char* clave) {
    Error sinLibpq;
    if (!CargarLibpq(sinLibpq))
        return false;  // as a string libpq cannot read: no connection is made with it either
    char* error = nullptr;
    PQconninfoOption* opciones = Pq().PQconninfoParse(cadena.c_str(), &error);
    Pq().PQfreemem(error);
    bool nombra = false;
    for (PQconninfoOption* o = opciones; o && o->keyword; ++o)
        if (std::strcmp(o->keyword, clave) == 0 && o->val && *o->val)
            nombra = true;
    Pq().PQconninfoFree(opciones);
    return nombra;
}

bool NombraBaseDatos(const std::string& cadena) {
    return NombraOpcion(cadena, "dbname");
}

}  // namespace

bool NombraContrasena(const std::string& servidor) {
    return EsCadenaConexion(servidor) && NombraOpcion(servidor, "password");
}

Parametro Nulo() {
    return {};
}
Parametro Texto(std::string valor) {
    return {std::move(valor), false};
}
Parametro Entero(std::int64_t valor) {
    return {std::to_string(valor), false};
}
Parametro Bytes(std::string valor) {
    return {std::move(valor), true};
}

const std::string& Resultado::Texto(int fila, int columna) const {
    static const std::string vacio;
    const auto& v = filas_.at(fila).at(columna);
    return v ? *v : vacio;
}

std::int64_t Resultado::Entero(int fila, int columna) const {
    return Opcional(fila, columna).value_or(0);
}

std::optional<std::int64_t> Resultado::Opcional(int fila, int columna) const {
    const auto& v = filas_.at(fila).at(columna);
    return v ? std::optional(std::stoll(*v)) : std::nullopt;
}

std::string Resultado::Bytes(int fila, int columna) const {
    const auto& v = filas_.at(fila).at(columna);
    if (!v)
        return {};
    std::size_t n = 0;
    unsigned char* bytes =
        Pq().PQunescapeBytea(reinterpret_cast<const unsigned char*>(v->c_str()), &n);
    if (!bytes)
        throw std::bad_alloc();
    std::string resultado(reinterpret_cast<const char*>(bytes), n);
    Pq().PQfreemem(bytes);
    return resultado;
}

Parametros ParametrosConexion(const std::string& servidor, const Parametros& sustituir) {
    const std::string cadena = EsCadenaConexion(servidor) ? servidor : UriDeDireccion(servidor);
    Parametros p{{"connect_timeout", "5"}, {"application_name", "veliora"}, {"dbname", cadena}};
    p.insert(p.end(), sustituir.begin(), sustituir.end());
    if (!NombraBaseDatos(cadena))
        p.emplace_back("dbname", "veliora");
    return p;
}

std::unique_ptr<Conexion> Conexion::Abrir(const Parametros& parametros,
                                          std::chrono::milliseconds plazo, Error& error) {
    std::unique_ptr<Conexion> c(new Conexion());
    c->parametros_ = parametros;
    c->plazoConexion_ = plazo;
    if (!c->Conectar(error))
        return nullptr;
    return c;
}

Conexion::~Conexion() {
    if (conn_)
        Pq().PQfinish(conn_);
}

bool Conexion::Esperar(bool escribir, Reloj::time_point limite) {
    const auto restante =
        std::chrono::duration_cast<std::chrono::milliseconds>(limite - Reloj::now()).count();
    if (restante <= 0)
        return false;
    pollfd fd{Pq().PQsocket(conn_), short(escribir ? POLLOUT : POLLIN), 0};
    return poll(&fd, 1, int(restante)) > 0;
}

bool Conexion::Conectar(Error& error) {
    if (!CargarLibpq(error))
        return false;
    std::vector<const char*> claves, valores;
    for (const auto& [clave, valor] : parametros_) {
        claves.push_back(clave.c_str());
        valores.push_back(valor.c_str());
    }
    claves.push_back(nullptr);
    valores.push_back(nullptr);
    Pq().PQfinish(conn_);
    conn_ = Pq().PQconnectStartParams(claves.data(), valores.data(), 1);
    const auto limite = Reloj::now() + plazoConexion_;
    PostgresPollingStatusType estado = PGRES_POLLING_WRITING;
    while (conn_ && Pq().PQstatus(conn_) != CONNECTION_BAD && estado != PGRES_POLLING_OK &&
           estado != PGRES_POLLING_FAILED) {
        if (!Esperar(estado == PGRES_POLLING_WRITING, limite)) {
            error = {Fallo::SinRespuesta, "timeout"};
            Pq().PQfinish(conn_);
            conn_ = nullptr;
            return false;
        }
        estado = Pq().PQconnectPoll(conn_);
    }
    if (conn_ && Pq().PQstatus(conn_) == CONNECTION_OK) {
        Pq().PQsetnonblocking(conn_, 1);
        // The server's notices (a shutdown announced) are not the program's output.
        Pq().PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
        return true;
    }
    const bool contrasena =
        conn_ && (Pq().PQconnectionNeedsPassword(conn_) || Pq().PQconnectionUsedPassword(conn_));
    error = {contrasena ? Fallo::Acceso : Fallo::SinRespuesta, MensajeConexion(conn_)};
    Pq().PQfinish(conn_);
    conn_ = nullptr;
    return false;
}

bool Conexion::Perdida() const {
    return !conn_ || Pq().PQstatus(conn_) != CONNECTION_OK;
}

bool Conexion::Reabrir(Error& error) {
    return Conectar(error);
}

std::optional<Resultado> Conexion::Ejecutar(std::string_view sql,
                                            const std::vector<Parametro>& params, Error& error) {
    if (Perdida()) {
        error = {Fallo::SinRespuesta, MensajeConexion(conn_)};
        return std::nullopt;
    }
    std::vector<const char*> valores;
    std::vector<int> longitudes, formatos;
    for (const auto& p : params) {
        valores.push_back(p.valor ? p.valor->data() : nullptr);
        longitudes.push_back(p.valor ? int(p.valor->size()) : 0);
        formatos.push_back(p.binario ? 1 : 0);
    }
    const std::string texto(sql);
    const auto limite = Reloj::now() + plazo_;
    // Without parameters, the simple protocol: a script of several statements runs whole.
    bool enviado = params.empty() ? Pq().PQsendQuery(conn_, texto.c_str()) == 1
                                  : Pq().PQsendQueryParams(
                                        conn_, texto.c_str(), int(params.size()), nullptr,
                                        valores.data(), longitudes.data(), formatos.data(), 0) == 1;
    int pendiente = 1;
    while (enviado && (pendiente = Pq().PQflush(conn_)) == 1) enviado = Esperar(true, limite);
    PGresult* ultimo = nullptr;
    bool listo = enviado && pendiente == 0;
    while (listo) {
        if (Pq().PQisBusy(conn_)) {
            listo = Esperar(false, limite) && Pq().PQconsumeInput(conn_) == 1;
            continue;
        }
        PGresult* r = Pq().PQgetResult(conn_);
        if (!r)
            break;
        Pq().PQclear(ultimo);
        ultimo = r;
    }
    if (!listo) {
        Pq().PQclear(ultimo);
        const bool perdida = Perdida();
        error = {Fallo::SinRespuesta, perdida ? MensajeConexion(conn_) : "timeout"};
        Pq().PQfinish(conn_);  // a connection left mid-statement cannot be used again
        conn_ = nullptr;
        return std::nullopt;
    }
    const ExecStatusType estado = ultimo ? Pq().PQresultStatus(ultimo) : PGRES_FATAL_ERROR;
    if (estado != PGRES_TUPLES_OK && estado != PGRES_COMMAND_OK) {
        const char* codigo = ultimo ? Pq().PQresultErrorField(ultimo, PG_DIAG_SQLSTATE) : nullptr;
        const char* mensaje =
            ultimo ? Pq().PQresultErrorField(ultimo, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        error = {Perdida() ? Fallo::SinRespuesta : FalloDeEstado(codigo ? codigo : ""),
                 mensaje ? mensaje : MensajeConexion(conn_)};
        Pq().PQclear(ultimo);
        return std::nullopt;
    }
    Resultado resultado;
    const int filas = Pq().PQntuples(ultimo), columnas = Pq().PQnfields(ultimo);
    resultado.filas_.resize(std::size_t(filas));
    for (int f = 0; f < filas; ++f)
        for (int c = 0; c < columnas; ++c)
            resultado.filas_[std::size_t(f)].push_back(
                Pq().PQgetisnull(ultimo, f, c)
                    ? std::nullopt
                    : std::optional<std::string>(std::in_place, Pq().PQgetvalue(ultimo, f, c),
                                                 std::size_t(Pq().PQgetlength(ultimo, f, c))));
    Pq().PQclear(ultimo);
    return resultado;
}

bool Conexion::Ejecutar(std::string_view sql, Error& error) {
    return Ejecutar(sql, {}, error).has_value();
}

}  // namespace veliora::aula::pg
