// The class server: the record in PostgreSQL. The teacher owns the tables; students log in
// as their class's own role, which holds no table privilege and may only call the few
// SECURITY DEFINER functions below, each of which checks the student's secret.
#include <functional>

#include "core/aula/interno.h"
#include "core/aula/libpq.h"
#include "core/aula/postgres.h"

namespace veliora::aula {

namespace {

using pg::Parametro;
using pg::Pq;

// Functions a class role may call. Each resolves names in the schema alone (pg_temp last),
// so that nothing a caller creates can stand in for a table.
constexpr const char* kFunciones = R"SQL(
CREATE FUNCTION veliora.version_esquema() RETURNS integer
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = veliora, pg_temp
AS $$ SELECT max(version) FROM esquema $$;

-- The class of a code, to a session that is its own role or no class's role (the teacher).
CREATE FUNCTION veliora.clase_de_sesion(p_codigo text) RETURNS bigint
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = veliora, pg_temp AS $$
DECLARE v_clase veliora.clases;
BEGIN
    SELECT * INTO v_clase FROM clases WHERE codigo = p_codigo;
    IF NOT FOUND OR (v_clase.rol <> session_user
                     AND EXISTS (SELECT FROM clases WHERE rol = session_user)) THEN
        RAISE EXCEPTION 'no such class' USING ERRCODE = 'VA001';
    END IF;
    RETURN v_clase.id;
END $$;

CREATE FUNCTION veliora.alumno_verificado(p_codigo text, p_nombre text, p_secreto text)
RETURNS bigint
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = veliora, pg_temp AS $$
DECLARE v_alumno veliora.alumnos;
BEGIN
    SELECT * INTO v_alumno FROM alumnos
     WHERE clase_id = clase_de_sesion(p_codigo) AND nombre = p_nombre;
    IF NOT FOUND OR v_alumno.hash <> sha256(v_alumno.sal || convert_to(p_secreto, 'UTF8')) THEN
        RAISE EXCEPTION 'wrong student or password' USING ERRCODE = 'VA002';
    END IF;
    RETURN v_alumno.id;
END $$;

CREATE FUNCTION veliora.unirse(p_codigo text, p_nombre text, p_secreto text) RETURNS text
LANGUAGE plpgsql SECURITY DEFINER SET search_path = veliora, pg_temp AS $$
DECLARE v_sal bytea := uuid_send(gen_random_uuid());
BEGIN
    INSERT INTO alumnos (clase_id, nombre, sal, hash)
    VALUES (clase_de_sesion(p_codigo), p_nombre, v_sal,
            sha256(v_sal || convert_to(p_secreto, 'UTF8')))
    ON CONFLICT (clase_id, nombre) DO NOTHING;
    PERFORM alumno_verificado(p_codigo, p_nombre, p_secreto);
    RETURN (SELECT nombre FROM clases WHERE codigo = p_codigo);
END $$;

CREATE FUNCTION veliora.descargar(p_codigo text, p_nombre text, p_secreto text, p_bytes boolean)
RETURNS TABLE (version integer, nombre_bd text, bd bytea, hash_bd text, aux bytea,
               hash_aux text)
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = veliora, pg_temp AS $$
BEGIN
    PERFORM alumno_verificado(p_codigo, p_nombre, p_secreto);
    RETURN QUERY
    SELECT m.version, m.nombre_bd, CASE WHEN p_bytes THEN m.bd END, m.hash_bd,
           CASE WHEN p_bytes THEN m.aux END, m.hash_aux
      FROM materiales m WHERE m.clase_id = clase_de_sesion(p_codigo)
     ORDER BY m.version DESC LIMIT 1;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'nothing published' USING ERRCODE = 'VA003';
    END IF;
END $$;

CREATE FUNCTION veliora.registrar(p_codigo text, p_nombre text, p_secreto text, p_uuid uuid,
    p_hash_bd text, p_boletin text, p_numero integer, p_pregunta text, p_solucion text,
    p_respuesta text, p_veredicto text, p_motivo text, p_filas_respuesta bigint,
    p_filas_solucion bigint, p_columnas_respuesta bigint, p_columnas_solucion bigint,
    p_mostrada bigint, p_comprobada bigint, p_version text) RETURNS boolean
LANGUAGE plpgsql SECURITY DEFINER SET search_path = veliora, pg_temp AS $$
BEGIN
    INSERT INTO intentos VALUES (p_uuid, clase_de_sesion(p_codigo),
        alumno_verificado(p_codigo, p_nombre, p_secreto), p_hash_bd,
        CASE WHEN p_boletin IS NULL THEN 'aleatorio' ELSE 'boletin' END, p_boletin, p_numero,
        p_pregunta, p_solucion, p_respuesta, p_veredicto, p_motivo, p_filas_respuesta,
        p_filas_solucion, p_columnas_respuesta, p_columnas_solucion,
        to_timestamp(p_mostrada / 1000.0), to_timestamp(p_comprobada / 1000.0), p_version)
    ON CONFLICT (uuid) DO NOTHING;
    RETURN FOUND;
END $$;

CREATE FUNCTION veliora.mis_intentos(p_codigo text, p_nombre text, p_secreto text)
RETURNS SETOF veliora.intentos
LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = veliora, pg_temp AS $$
DECLARE v_alumno bigint := alumno_verificado(p_codigo, p_nombre, p_secreto);
BEGIN
    RETURN QUERY SELECT * FROM intentos
     WHERE clase_id = clase_de_sesion(p_codigo) AND alumno_id = v_alumno
     ORDER BY comprobada, recibido;
END $$;

REVOKE ALL ON ALL FUNCTIONS IN SCHEMA veliora FROM PUBLIC;
GRANT EXECUTE ON FUNCTION veliora.version_esquema(), veliora.unirse(text, text, text),
    veliora.descargar(text, text, text, boolean), veliora.mis_intentos(text, text, text),
    veliora.registrar(text, text, text, uuid, text, text, integer, text, text, text, text, text,
                      bigint, bigint, bigint, bigint, bigint, bigint, text)
    TO veliora_alumnos;
)SQL";

// Each migration runs in its own transaction and leaves the schema at its number.
const std::string kMigraciones[] = {
    // 1: the record, the students' group role and their functions.
    std::string(R"SQL(
CREATE SCHEMA veliora;
REVOKE ALL ON SCHEMA veliora FROM PUBLIC;
ALTER DEFAULT PRIVILEGES IN SCHEMA veliora REVOKE EXECUTE ON FUNCTIONS FROM PUBLIC;
DO $$ BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'veliora_alumnos') THEN
        CREATE ROLE veliora_alumnos NOLOGIN;
    END IF;
    EXECUTE format('GRANT CONNECT ON DATABASE %I TO veliora_alumnos', current_database());
END $$;
GRANT USAGE ON SCHEMA veliora TO veliora_alumnos;
CREATE TABLE veliora.esquema (version integer NOT NULL);
CREATE TABLE veliora.clases (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    nombre text NOT NULL, codigo text NOT NULL UNIQUE, rol text NOT NULL UNIQUE,
    creada timestamptz NOT NULL DEFAULT now());
CREATE TABLE veliora.materiales (clase_id bigint NOT NULL REFERENCES veliora.clases,
    version integer NOT NULL, nombre_bd text NOT NULL, bd bytea NOT NULL, hash_bd text NOT NULL,
    aux bytea, hash_aux text, publicada timestamptz NOT NULL DEFAULT now(),
    PRIMARY KEY (clase_id, version));
CREATE TABLE veliora.alumnos (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    clase_id bigint NOT NULL REFERENCES veliora.clases, nombre text NOT NULL,
    sal bytea NOT NULL, hash bytea NOT NULL, creado timestamptz NOT NULL DEFAULT now(),
    UNIQUE (clase_id, nombre));
CREATE TABLE veliora.intentos (uuid uuid PRIMARY KEY,
    clase_id bigint NOT NULL REFERENCES veliora.clases,
    alumno_id bigint NOT NULL REFERENCES veliora.alumnos, hash_bd text NOT NULL,
    modo text NOT NULL CHECK (modo IN ('aleatorio', 'boletin')), boletin text, numero integer,
    pregunta text, solucion text, respuesta text NOT NULL, veredicto text NOT NULL,
    motivo text, filas_respuesta bigint, filas_solucion bigint, columnas_respuesta bigint,
    columnas_solucion bigint, mostrada timestamptz, comprobada timestamptz,
    version_programa text, recibido timestamptz NOT NULL DEFAULT now());
)SQL") + kFunciones,
    // 2: the overview, a cell's attempts and a student's own read from the index alone.
    "CREATE INDEX intentos_clase ON veliora.intentos (clase_id, alumno_id, boletin, numero)"
    " INCLUDE (veredicto);",
};
static_assert(std::size(kMigraciones) == kVersionEsquema);

constexpr const char* kColumnasIntento =
    "i.uuid, a.nombre, i.hash_bd, i.boletin, i.numero, i.pregunta, i.solucion, i.respuesta,"
    " i.veredicto, i.motivo, i.filas_respuesta, i.filas_solucion, i.columnas_respuesta,"
    " i.columnas_solucion, (extract(epoch FROM i.mostrada) * 1000)::bigint,"
    " (extract(epoch FROM i.comprobada) * 1000)::bigint, i.version_programa";

Parametro TextoONulo(const std::string& s) {
    return s.empty() ? pg::Nulo() : pg::Texto(s);
}
Parametro EnteroONulo(const std::optional<std::int64_t>& n) {
    return n ? pg::Entero(*n) : pg::Nulo();
}

class ColumnasPg : public interno::ColumnasIntento {
  public:
    ColumnasPg(const pg::Resultado& r, int fila) : r_(r), fila_(fila) {}
    std::string Texto(int c) const override { return r_.Texto(fila_, c); }
    std::optional<std::int64_t> Entero(int c) const override { return r_.Opcional(fila_, c); }

  private:
    const pg::Resultado& r_;
    int fila_;
};

std::vector<Intento> LeerIntentos(const pg::Resultado& r) {
    std::vector<Intento> intentos;
    for (int f = 0; f < r.Filas(); ++f) intentos.push_back(interno::LeerIntento(ColumnasPg(r, f)));
    return intentos;
}

std::string Identificador(pg_conn* conn, const std::string& nombre) {
    char* escapado = Pq().PQescapeIdentifier(conn, nombre.c_str(), nombre.size());
    std::string resultado = escapado ? escapado : "";
    Pq().PQfreemem(escapado);
    return resultado;
}

std::string Literal(pg_conn* conn, const std::string& texto) {
    char* escapado = Pq().PQescapeLiteral(conn, texto.c_str(), texto.size());
    std::string resultado = escapado ? escapado : "";
    Pq().PQfreemem(escapado);
    return resultado;
}

class AlmacenPostgres : public Almacen {
  public:
    explicit AlmacenPostgres(std::unique_ptr<pg::Conexion> conexion) : c_(std::move(conexion)) {}

    // The teacher: the schema created or brought up to `hasta`.
    bool Migrar(int hasta, Error& error);
    // A student: the schema must be the one this program knows.
    bool ComprobarVersion(Error& error);

    std::optional<Clase> CrearClase(const std::string& nombre, Error& error) override;
    std::optional<Publicacion> Publicar(const std::string& codigo, const Material& material,
                                        Error& error) override;
    std::optional<Seguimiento> Seguir(const std::string& codigo, const std::string& boletin,
                                      Error& error) override;
    std::vector<Intento> IntentosPregunta(const std::string& codigo, const std::string& alumno,
                                          const ClavePregunta& pregunta, Error& error) override;
    std::optional<std::string> Unirse(const Alumno& alumno, Error& error) override;
    std::optional<Publicacion> UltimaVersion(const Alumno& alumno, Error& error) override;
    std::optional<Material> Descargar(const Alumno& alumno, Error& error) override;
    bool Registrar(const Alumno& alumno, const Intento& intento, Error& error) override;
    std::vector<Intento> MisIntentos(const Alumno& alumno, Error& error) override;

  private:
    // Runs one statement, connecting again first when the connection was lost.
    std::optional<pg::Resultado> Ejecutar(std::string_view sql, const std::vector<Parametro>& p,
                                          Error& error) {
        if (c_->Perdida() && !c_->Reabrir(error))
            return std::nullopt;
        return c_->Ejecutar(sql, p, error);
    }
    bool EnTransaccion(const std::function<bool()>& cuerpo, Error& error);
    std::optional<Material> LeerMaterial(const Alumno& alumno, bool bytes, Error& error);
    static std::vector<Parametro> Credencial(const Alumno& a) {
        return {pg::Texto(NormalizarCodigo(a.clase)), pg::Texto(a.nombre), pg::Texto(a.secreto)};
    }

    std::unique_ptr<pg::Conexion> c_;
};

bool AlmacenPostgres::EnTransaccion(const std::function<bool()>& cuerpo, Error& error) {
    if (!Ejecutar("BEGIN", {}, error))
        return false;
    if (cuerpo() && c_->Ejecutar("COMMIT", error))
        return true;
    Error ignorado;
    c_->Ejecutar("ROLLBACK", ignorado);
    return false;
}

bool AlmacenPostgres::Migrar(int hasta, Error& error) {
    for (;;) {
        bool hecho = false;
        const bool ok = EnTransaccion(
            [&] {
                // One program at a time upgrades; the others wait and see the new version.
                auto r = c_->Ejecutar(
                    "SELECT pg_advisory_xact_lock(hashtext('veliora.esquema')),"
                    " to_regclass('veliora.esquema') IS NOT NULL",
                    {}, error);
                if (!r)
                    return false;
                int version = 0;
                if (r->Texto(0, 1) == "t") {
                    r = c_->Ejecutar("SELECT coalesce(max(version), 0) FROM veliora.esquema", {},
                                     error);
                    if (!r)
                        return false;
                    version = int(r->Entero(0, 0));
                }
                if (version > kVersionEsquema) {
                    error = {Fallo::EsquemaNuevo, std::to_string(version)};
                    return false;
                }
                if (version >= hasta)
                    return hecho = true;
                return c_->Ejecutar(kMigraciones[version], error) &&
                       c_->Ejecutar("DELETE FROM veliora.esquema", error) &&
                       c_->Ejecutar("INSERT INTO veliora.esquema VALUES ($1)",
                                    {pg::Entero(version + 1)}, error);
            },
            error);
        if (!ok || hecho)
            return ok;
    }
}

bool AlmacenPostgres::ComprobarVersion(Error& error) {
    const auto r = Ejecutar("SELECT veliora.version_esquema()", {}, error);
    if (!r) {
        if (error.fallo == Fallo::Permiso || error.fallo == Fallo::Almacen)
            error.fallo = Fallo::EsquemaAntiguo;  // no schema, or one without the function
        return false;
    }
    const auto version = r->Entero(0, 0);
    if (version == kVersionEsquema)
        return true;
    error = {version > kVersionEsquema ? Fallo::EsquemaNuevo : Fallo::EsquemaAntiguo,
             std::to_string(version)};
    return false;
}

std::optional<Clase> AlmacenPostgres::CrearClase(const std::string& nombre, Error& error) {
    const auto limpio = NormalizarNombre(nombre, error);
    if (!limpio)
        return std::nullopt;
    Clase clase{*limpio, interno::NuevoCodigo()};
    const std::string rol = interno::RolDeClase(clase.codigo);
    // The password travels as its SCRAM verifier, never in clear text.
    char* verificador = Pq().PQencryptPasswordConn(c_->Nativa(), clase.codigo.c_str(), rol.c_str(),
                                                   "scram-sha-256");
    if (!verificador) {
        error = {Fallo::Almacen, Pq().PQerrorMessage(c_->Nativa())};
        return std::nullopt;
    }
    const std::string crear = "CREATE ROLE " + Identificador(c_->Nativa(), rol) +
                              " LOGIN PASSWORD " + Literal(c_->Nativa(), verificador) +
                              " IN ROLE veliora_alumnos";
    Pq().PQfreemem(verificador);
    const bool ok = EnTransaccion(
        [&] {
            return c_->Ejecutar(crear, error) &&
                   c_->Ejecutar(
                       "INSERT INTO veliora.clases (nombre, codigo, rol)"
                       " VALUES ($1, $2, $3)",
                       {pg::Texto(clase.nombre), pg::Texto(clase.codigo), pg::Texto(rol)}, error);
        },
        error);
    return ok ? std::optional(clase) : std::nullopt;
}

std::optional<Publicacion> AlmacenPostgres::Publicar(const std::string& codigo,
                                                     const Material& material, Error& error) {
    if (!interno::ValidarMaterial(material, error))
        return std::nullopt;
    Publicacion publicada;
    const bool ok = EnTransaccion(
        [&] {
            auto r = c_->Ejecutar(
                "SELECT id, (SELECT coalesce(max(version), 0) + 1 FROM veliora.materiales"
                " WHERE clase_id = c.id) FROM veliora.clases c WHERE codigo = $1 FOR UPDATE",
                {pg::Texto(NormalizarCodigo(codigo))}, error);
            if (r && r->Filas() == 0)
                error = {Fallo::ClaseDesconocida, codigo};
            if (!r || r->Filas() == 0)
                return false;
            publicada = {int(r->Entero(0, 1)), interno::Sha256Hex(material.bd)};
            const bool conAux = !material.aux.empty();
            return c_
                ->Ejecutar(
                    "INSERT INTO veliora.materiales (clase_id, version, nombre_bd, bd,"
                    " hash_bd, aux, hash_aux) VALUES ($1, $2, $3, $4, $5, $6, $7)",
                    {pg::Texto(r->Texto(0, 0)), pg::Entero(publicada.version),
                     pg::Texto(material.nombreBd), pg::Bytes(material.bd),
                     pg::Texto(publicada.hash), conAux ? pg::Bytes(material.aux) : pg::Nulo(),
                     conAux ? pg::Texto(interno::Sha256Hex(material.aux)) : pg::Nulo()},
                    error)
                .has_value();
        },
        error);
    return ok ? std::optional(publicada) : std::nullopt;
}

std::optional<Seguimiento> AlmacenPostgres::Seguir(const std::string& codigo,
                                                   const std::string& boletin, Error& error) {
    const auto r = Ejecutar(
        "WITH c AS (SELECT id FROM veliora.clases WHERE codigo = $1),"
        " t AS (SELECT alumno_id, boletin, numero, count(*) AS n,"
        " count(*) FILTER (WHERE veredicto = 'correcto') AS k, max(CASE veredicto"
        " WHEN 'correcto' THEN 3 WHEN 'correcto_solo_aqui' THEN 2 ELSE 1 END) AS m"
        " FROM veliora.intentos WHERE clase_id = (SELECT id FROM c)"
        " AND ($2 = '' OR boletin = $2) GROUP BY 1, 2, 3)"
        " SELECT a.nombre, t.boletin, t.numero, coalesce(t.n, 0), coalesce(t.k, 0), t.m"
        " FROM veliora.alumnos a LEFT JOIN t ON t.alumno_id = a.id"
        " WHERE a.clase_id = (SELECT id FROM c) ORDER BY a.nombre, a.id",
        {pg::Texto(NormalizarCodigo(codigo)), pg::Texto(boletin)}, error);
    if (!r)
        return std::nullopt;
    Seguimiento seguimiento;
    for (int f = 0; f < r->Filas(); ++f)
        interno::AnadirFila(seguimiento, r->Texto(f, 0),
                            r->Nulo(f, 1) ? std::nullopt : std::optional(r->Texto(f, 1)),
                            int(r->Entero(f, 2)), int(r->Entero(f, 3)), int(r->Entero(f, 4)),
                            int(r->Entero(f, 5)));
    if (seguimiento.empty()) {
        const auto clase = Ejecutar("SELECT 1 FROM veliora.clases WHERE codigo = $1",
                                    {pg::Texto(NormalizarCodigo(codigo))}, error);
        if (clase && clase->Filas() == 0)
            error = {Fallo::ClaseDesconocida, codigo};
        if (error.failed())
            return std::nullopt;
    }
    return seguimiento;
}

std::vector<Intento> AlmacenPostgres::IntentosPregunta(const std::string& codigo,
                                                       const std::string& alumno,
                                                       const ClavePregunta& pregunta,
                                                       Error& error) {
    const auto r = Ejecutar(std::string("SELECT ") + kColumnasIntento +
                                " FROM veliora.intentos i JOIN veliora.alumnos a"
                                " ON a.id = i.alumno_id JOIN veliora.clases c ON c.id = a.clase_id"
                                " AND c.id = i.clase_id"
                                " WHERE c.codigo = $1 AND a.nombre = $2 AND i.boletin = $3"
                                " AND i.numero = $4 ORDER BY i.comprobada, i.recibido",
                            {pg::Texto(NormalizarCodigo(codigo)), pg::Texto(alumno),
                             pg::Texto(pregunta.first), pg::Entero(pregunta.second)},
                            error);
    return r ? LeerIntentos(*r) : std::vector<Intento>{};
}

std::optional<std::string> AlmacenPostgres::Unirse(const Alumno& alumno, Error& error) {
    const auto nombre = NormalizarNombre(alumno.nombre, error);
    if (!nombre)
        return std::nullopt;
    const auto r = Ejecutar("SELECT veliora.unirse($1, $2, $3)",
                            Credencial({alumno.clase, *nombre, alumno.secreto}), error);
    return r ? std::optional(r->Texto(0, 0)) : std::nullopt;
}

std::optional<Material> AlmacenPostgres::LeerMaterial(const Alumno& alumno, bool bytes,
                                                      Error& error) {
    auto p = Credencial(alumno);
    p.push_back(pg::Texto(bytes ? "true" : "false"));
    const auto r = Ejecutar("SELECT * FROM veliora.descargar($1, $2, $3, $4)", p, error);
    if (!r)
        return std::nullopt;
    return Material{int(r->Entero(0, 0)), r->Texto(0, 1), r->Bytes(0, 2),
                    r->Texto(0, 3),       r->Bytes(0, 4), r->Texto(0, 5)};
}

std::optional<Publicacion> AlmacenPostgres::UltimaVersion(const Alumno& alumno, Error& error) {
    const auto material = LeerMaterial(alumno, false, error);
    return material ? std::optional(Publicacion{material->version, material->hashBd})
                    : std::nullopt;
}

std::optional<Material> AlmacenPostgres::Descargar(const Alumno& alumno, Error& error) {
    return LeerMaterial(alumno, true, error);
}

bool AlmacenPostgres::Registrar(const Alumno& alumno, const Intento& i, Error& error) {
    if (!interno::ValidarIntento(i, error))
        return false;
    auto p = Credencial(alumno);
    p.insert(p.end(),
             {pg::Texto(i.uuid), pg::Texto(i.hashBd), TextoONulo(i.boletin),
              i.ModoBoletin() ? pg::Entero(i.numero) : pg::Nulo(), TextoONulo(i.pregunta),
              TextoONulo(i.solucion), pg::Texto(i.respuesta), pg::Texto(i.veredicto),
              TextoONulo(i.motivo), EnteroONulo(i.filasRespuesta), EnteroONulo(i.filasSolucion),
              EnteroONulo(i.columnasRespuesta), EnteroONulo(i.columnasSolucion),
              i.mostrada ? pg::Entero(i.mostrada) : pg::Nulo(),
              i.comprobada ? pg::Entero(i.comprobada) : pg::Nulo(), pg::Texto(i.versionPrograma)});
    return Ejecutar(
               "SELECT veliora.registrar($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12,"
               " $13, $14, $15, $16, $17, $18, $19)",
               p, error)
        .has_value();
}

std::vector<Intento> AlmacenPostgres::MisIntentos(const Alumno& alumno, Error& error) {
    auto p = Credencial(alumno);
    const auto r = Ejecutar(std::string("SELECT ") + kColumnasIntento +
                                " FROM veliora.mis_intentos($1, $2, $3) i, (SELECT $2 AS nombre) a",
                            p, error);
    return r ? LeerIntentos(*r) : std::vector<Intento>{};
}

std::unique_ptr<pg::Conexion> Conectar(const std::string& servidor, const pg::Parametros& extra,
                                       Error& error) {
    return pg::Conexion::Abrir(pg::ParametrosConexion(servidor, extra),
                               std::chrono::milliseconds(5000), error);
}

std::unique_ptr<AlmacenPostgres> AbrirComoProfesor(const std::string& servidor,
                                                   const std::string& contrasena, int version,
                                                   Error& error) {
    pg::Parametros extra;
    if (!contrasena.empty())
        extra.emplace_back("password", contrasena);
    auto conexion = Conectar(servidor, extra, error);
    if (!conexion)
        return nullptr;
    auto almacen = std::make_unique<AlmacenPostgres>(std::move(conexion));
    if (!almacen->Migrar(version, error))
        return nullptr;
    return almacen;
}

}  // namespace

std::unique_ptr<Almacen> AbrirProfesor(const std::string& servidor, const std::string& contrasena,
                                       Error& error) {
    return AbrirComoProfesor(servidor, contrasena, kVersionEsquema, error);
}

std::unique_ptr<Almacen> AbrirAlumno(const std::string& servidor, const std::string& codigo,
                                     Error& error) {
    const std::string limpio = NormalizarCodigo(codigo);
    auto conexion =
        Conectar(servidor, {{"user", interno::RolDeClase(limpio)}, {"password", limpio}}, error);
    if (!conexion) {
        // The server does not tell a role that does not exist from a wrong password.
        if (error.fallo == Fallo::Acceso)
            error.fallo = Fallo::ClaseDesconocida;
        return nullptr;
    }
    auto almacen = std::make_unique<AlmacenPostgres>(std::move(conexion));
    if (!almacen->ComprobarVersion(error))
        return nullptr;
    return almacen;
}

namespace prueba {
std::unique_ptr<Almacen> AbrirEnVersion(const std::string& servidor, const std::string& ruta,
                                        int version, Error& error) {
    if (servidor.empty())
        return interno::AbrirEmbebidoEnVersion(ruta, version, error);
    return AbrirComoProfesor(servidor, "", version, error);
}
}  // namespace prueba

}  // namespace veliora::aula
