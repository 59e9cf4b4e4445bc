// The embedded store: the class record in one SQLite file of the application directory,
// for a class on one machine and a student's own history at home.
#include <functional>
#include <memory>

#include "core/aula/interno.h"
#include "core/engine/database.h"
#include "core/shell/errores.h"

namespace veliora::aula {

namespace {

using engine::Value;

// Each migration runs in its own transaction and leaves the schema at its number.
constexpr const char* kMigraciones[] = {
    // 1: the record.
    "CREATE TABLE esquema (version INTEGER NOT NULL);"
    "CREATE TABLE clases (id INTEGER PRIMARY KEY, nombre TEXT NOT NULL,"
    " codigo TEXT NOT NULL UNIQUE, creada INTEGER NOT NULL);"
    "CREATE TABLE materiales (clase_id INTEGER NOT NULL REFERENCES clases(id),"
    " version INTEGER NOT NULL, nombre_bd TEXT NOT NULL, bd BLOB NOT NULL,"
    " hash_bd TEXT NOT NULL, aux BLOB, hash_aux TEXT, publicada INTEGER NOT NULL,"
    " PRIMARY KEY (clase_id, version));"
    "CREATE TABLE alumnos (id INTEGER PRIMARY KEY, clase_id INTEGER NOT NULL REFERENCES"
    " clases(id), nombre TEXT NOT NULL, sal BLOB NOT NULL, hash TEXT NOT NULL,"
    " creado INTEGER NOT NULL, UNIQUE (clase_id, nombre));"
    "CREATE TABLE intentos (uuid TEXT PRIMARY KEY, clase_id INTEGER NOT NULL,"
    " alumno_id INTEGER NOT NULL REFERENCES alumnos(id), hash_bd TEXT NOT NULL,"
    " modo TEXT NOT NULL CHECK (modo IN ('aleatorio', 'boletin')), boletin TEXT,"
    " numero INTEGER, pregunta TEXT, solucion TEXT, respuesta TEXT NOT NULL,"
    " veredicto TEXT NOT NULL, motivo TEXT, filas_respuesta INTEGER,"
    " filas_solucion INTEGER, columnas_respuesta INTEGER, columnas_solucion INTEGER,"
    " mostrada INTEGER, comprobada INTEGER, version_programa TEXT,"
    " recibido INTEGER NOT NULL);",
    // 2: the overview, a cell's attempts and a student's own read from the index alone.
    "CREATE INDEX intentos_clase ON intentos (clase_id, alumno_id, boletin, numero, veredicto);",
};
static_assert(std::size(kMigraciones) == kVersionEsquema);

constexpr const char* kColumnasIntento =
    "i.uuid, a.nombre, i.hash_bd, i.boletin, i.numero, i.pregunta, i.solucion, i.respuesta,"
    " i.veredicto, i.motivo, i.filas_respuesta, i.filas_solucion, i.columnas_respuesta,"
    " i.columnas_solucion, i.mostrada, i.comprobada, i.version_programa";

Value Texto(const std::string& s) {
    return Value::Text(s);
}
bool FallarMotor(const engine::Error& e, Error& error) {
    error = {Fallo::Almacen, TextoDeError(e)};
    return false;
}

// The schema's number; 0 for a file without one.
int Version(engine::Database& bd, Error& error) {
    engine::Error e;
    const Value hay = bd.Scalar(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'esquema'", e);
    if (e.failed())
        return FallarMotor(e, error), -1;
    if (hay.toInt() == 0)
        return 0;
    const Value version = bd.Scalar("SELECT max(version) FROM esquema", e);
    return e.failed() ? (FallarMotor(e, error), -1) : int(version.toInt());
}

class AlmacenSqlite : public Almacen {
  public:
    explicit AlmacenSqlite(std::shared_ptr<engine::Database> bd) : bd_(std::move(bd)) {}

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
    bool Fallar(const engine::Error& e, Error& error) { return FallarMotor(e, error); }
    std::optional<std::int64_t> IdClase(const std::string& codigo, Error& error);
    struct Ids {
        std::int64_t clase = 0, alumno = 0;
    };
    // The class and the student, when the secret is theirs.
    std::optional<Ids> Identificar(const Alumno& alumno, Error& error);
    std::optional<Material> LeerMaterial(const Alumno& alumno, bool bytes, Error& error);
    std::vector<Intento> Intentos(const std::string& condicion, const std::vector<Value>& params,
                                  Error& error);
    bool EnTransaccion(const std::function<bool()>& cuerpo, Error& error) {
        return interno::EnTransaccion(*bd_, cuerpo, error);
    }

    std::shared_ptr<engine::Database> bd_;
};

std::optional<std::int64_t> AlmacenSqlite::IdClase(const std::string& codigo, Error& error) {
    engine::Error e;
    const Value id =
        bd_->Scalar("SELECT id FROM clases WHERE codigo = ?", e, {Texto(NormalizarCodigo(codigo))});
    if (e.failed())
        return Fallar(e, error), std::nullopt;
    if (id.isNull()) {
        error = {Fallo::ClaseDesconocida, codigo};
        return std::nullopt;
    }
    return id.toInt();
}

std::optional<AlmacenSqlite::Ids> AlmacenSqlite::Identificar(const Alumno& alumno, Error& error) {
    const auto clase = IdClase(alumno.clase, error);
    if (!clase)
        return std::nullopt;
    engine::Error e;
    auto rs =
        bd_->OpenRecordset("SELECT id, sal, hash FROM alumnos WHERE clase_id = ? AND nombre = ?", e,
                           {Value::Int(*clase), Texto(alumno.nombre)});
    if (!rs)
        return Fallar(e, error), std::nullopt;
    if (rs->Eof() || interno::HashSecreto(rs->Field(1).text, alumno.secreto) != rs->Field(2).text) {
        error = {Fallo::Contrasena, alumno.nombre};
        return std::nullopt;
    }
    return Ids{*clase, rs->Field(0).toInt()};
}

std::optional<Clase> AlmacenSqlite::CrearClase(const std::string& nombre, Error& error) {
    const auto limpio = NormalizarNombre(nombre, error);
    if (!limpio)
        return std::nullopt;
    Clase clase{*limpio, interno::NuevoCodigo()};
    engine::Error e;
    if (!bd_->Execute("INSERT INTO clases (nombre, codigo, creada) VALUES (?, ?, ?)", e,
                      {Texto(clase.nombre), Texto(clase.codigo), Value::Int(Ahora())}))
        return Fallar(e, error), std::nullopt;
    return clase;
}

std::optional<Publicacion> AlmacenSqlite::Publicar(const std::string& codigo,
                                                   const Material& material, Error& error) {
    if (!interno::ValidarMaterial(material, error))
        return std::nullopt;
    Publicacion publicada;
    const bool ok = EnTransaccion(
        [&] {
            const auto clase = IdClase(codigo, error);
            if (!clase)
                return false;
            engine::Error e;
            const Value ultima =
                bd_->Scalar("SELECT coalesce(max(version), 0) FROM materiales WHERE clase_id = ?",
                            e, {Value::Int(*clase)});
            publicada = {int(ultima.toInt()) + 1, interno::Sha256Hex(material.bd)};
            if (e.failed() ||
                !bd_->Execute(
                    "INSERT INTO materiales VALUES (?, ?, ?, ?, ?, ?, ?, ?)", e,
                    {Value::Int(*clase), Value::Int(publicada.version), Texto(material.nombreBd),
                     Value::Blob(material.bd), Texto(publicada.hash),
                     material.aux.empty() ? Value::Null() : Value::Blob(material.aux),
                     material.aux.empty() ? Value::Null()
                                          : Value::Text(interno::Sha256Hex(material.aux)),
                     Value::Int(Ahora())}))
                return Fallar(e, error);
            return true;
        },
        error);
    return ok ? std::optional(publicada) : std::nullopt;
}

std::optional<Seguimiento> AlmacenSqlite::Seguir(const std::string& codigo,
                                                 const std::string& boletin, Error& error) {
    const auto clase = IdClase(codigo, error);
    if (!clase)
        return std::nullopt;
    engine::Error e;
    auto rs = bd_->OpenForwardOnly(
        "WITH t AS (SELECT alumno_id, boletin, numero, count(*) AS n,"
        " sum(veredicto = 'correcto') AS k, max(CASE veredicto WHEN 'correcto' THEN 3"
        " WHEN 'correcto_solo_aqui' THEN 2 ELSE 1 END) AS m FROM intentos"
        " WHERE clase_id = ?1 AND (?2 = '' OR boletin = ?2) GROUP BY 1, 2, 3)"
        " SELECT a.nombre, t.boletin, t.numero, coalesce(t.n, 0), coalesce(t.k, 0), t.m"
        " FROM alumnos a LEFT JOIN t ON t.alumno_id = a.id WHERE a.clase_id = ?1"
        " ORDER BY a.nombre, a.id",
        e, {Value::Int(*clase), Texto(boletin)});
    if (!rs)
        return Fallar(e, error), std::nullopt;
    Seguimiento seguimiento;
    for (; !rs->Eof(); rs->MoveNext()) {
        const Value& b = rs->Field(1);
        interno::AnadirFila(seguimiento, rs->Field(0).text,
                            b.isNull() ? std::nullopt : std::optional(b.toPlainText()),
                            int(rs->Field(2).toInt()), int(rs->Field(3).toInt()),
                            int(rs->Field(4).toInt()), int(rs->Field(5).toInt()));
    }
    if (rs->Error().failed())
        return Fallar(rs->Error(), error), std::nullopt;
    return seguimiento;
}

std::vector<Intento> AlmacenSqlite::Intentos(const std::string& condicion,
                                             const std::vector<Value>& params, Error& error) {
    engine::Error e;
    auto rs = bd_->OpenForwardOnly(std::string("SELECT ") + kColumnasIntento +
                                       " FROM intentos i JOIN alumnos a ON a.id = i.alumno_id"
                                       " WHERE " +
                                       condicion + " ORDER BY i.comprobada, i.recibido",
                                   e, params);
    std::vector<Intento> intentos;
    if (!rs)
        return Fallar(e, error), intentos;
    for (; !rs->Eof(); rs->MoveNext()) intentos.push_back(interno::LeerIntento(*rs));
    if (rs->Error().failed())
        Fallar(rs->Error(), error);
    return intentos;
}

std::vector<Intento> AlmacenSqlite::IntentosPregunta(const std::string& codigo,
                                                     const std::string& alumno,
                                                     const ClavePregunta& pregunta, Error& error) {
    const auto clase = IdClase(codigo, error);
    if (!clase)
        return {};
    return Intentos(
        "a.clase_id = ? AND a.nombre = ? AND i.boletin = ? AND i.numero = ?",
        {Value::Int(*clase), Texto(alumno), Texto(pregunta.first), Value::Int(pregunta.second)},
        error);
}

std::optional<std::string> AlmacenSqlite::Unirse(const Alumno& alumno, Error& error) {
    const auto nombre = NormalizarNombre(alumno.nombre, error);
    if (!nombre)
        return std::nullopt;
    std::string nombreClase;
    const bool ok = EnTransaccion(
        [&] {
            const auto clase = IdClase(alumno.clase, error);
            if (!clase)
                return false;
            engine::Error e;
            nombreClase =
                bd_->Scalar("SELECT nombre FROM clases WHERE id = ?", e, {Value::Int(*clase)})
                    .toPlainText();
            const Value hay =
                bd_->Scalar("SELECT count(*) FROM alumnos WHERE clase_id = ? AND nombre = ?", e,
                            {Value::Int(*clase), Texto(*nombre)});
            if (e.failed())
                return Fallar(e, error);
            if (hay.toInt() > 0)
                return Identificar({alumno.clase, *nombre, alumno.secreto}, error).has_value();
            const std::string sal = interno::BytesAleatorios(16);
            if (!bd_->Execute(
                    "INSERT INTO alumnos (clase_id, nombre, sal, hash, creado)"
                    " VALUES (?, ?, ?, ?, ?)",
                    e,
                    {Value::Int(*clase), Texto(*nombre), Value::Blob(sal),
                     Texto(interno::HashSecreto(sal, alumno.secreto)), Value::Int(Ahora())}))
                return Fallar(e, error);
            return true;
        },
        error);
    return ok ? std::optional(nombreClase) : std::nullopt;
}

std::optional<Material> AlmacenSqlite::LeerMaterial(const Alumno& alumno, bool bytes,
                                                    Error& error) {
    const auto ids = Identificar(alumno, error);
    if (!ids)
        return std::nullopt;
    engine::Error e;
    auto rs = bd_->OpenRecordset(
        std::string("SELECT version, nombre_bd, ") + (bytes ? "bd" : "NULL") + ", hash_bd, " +
            (bytes ? "aux" : "NULL") +
            ", hash_aux FROM materiales WHERE clase_id = ? ORDER BY version DESC LIMIT 1",
        e, {Value::Int(ids->clase)});
    if (!rs)
        return Fallar(e, error), std::nullopt;
    if (rs->Eof()) {
        error = {Fallo::SinMaterial, alumno.clase};
        return std::nullopt;
    }
    return Material{int(rs->Field(0).toInt()), rs->Field(1).text, rs->Field(2).text,
                    rs->Field(3).text,         rs->Field(4).text, rs->Field(5).toPlainText()};
}

std::optional<Publicacion> AlmacenSqlite::UltimaVersion(const Alumno& alumno, Error& error) {
    const auto material = LeerMaterial(alumno, false, error);
    return material ? std::optional(Publicacion{material->version, material->hashBd})
                    : std::nullopt;
}

std::optional<Material> AlmacenSqlite::Descargar(const Alumno& alumno, Error& error) {
    return LeerMaterial(alumno, true, error);
}

bool AlmacenSqlite::Registrar(const Alumno& alumno, const Intento& i, Error& error) {
    if (!interno::ValidarIntento(i, error))
        return false;
    const auto ids = Identificar(alumno, error);
    if (!ids)
        return false;
    std::vector<Value> valores{Texto(i.uuid), Value::Int(ids->clase), Value::Int(ids->alumno),
                               Texto(i.hashBd), Texto(i.ModoBoletin() ? "boletin" : "aleatorio")};
    for (Value& v : interno::ValoresIntento(i)) valores.push_back(std::move(v));
    valores.push_back(Value::Int(Ahora()));
    engine::Error e;
    if (!bd_->Execute("INSERT OR IGNORE INTO intentos (uuid, clase_id, alumno_id, hash_bd, modo,"
                      " boletin, numero, pregunta, solucion, respuesta, veredicto, motivo,"
                      " filas_respuesta, filas_solucion, columnas_respuesta, columnas_solucion,"
                      " mostrada, comprobada, version_programa, recibido)"
                      " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      e, valores))
        return Fallar(e, error);
    return true;
}

std::vector<Intento> AlmacenSqlite::MisIntentos(const Alumno& alumno, Error& error) {
    const auto ids = Identificar(alumno, error);
    if (!ids)
        return {};
    return Intentos("i.clase_id = ? AND i.alumno_id = ?",
                    {Value::Int(ids->clase), Value::Int(ids->alumno)}, error);
}

std::unique_ptr<AlmacenSqlite> Abrir(const std::string& ruta, int version, Error& error) {
    engine::Error e;
    auto bd = engine::Database::Create(ruta, e);
    if (!bd) {
        error = {Fallo::Archivo, TextoDeError(e)};
        return nullptr;
    }
    interno::PrepararSqlite(*bd);
    if (!interno::MigrarSqlite(*bd, kMigraciones, kVersionEsquema, version, error))
        return nullptr;
    return std::make_unique<AlmacenSqlite>(std::move(bd));
}

}  // namespace

std::unique_ptr<Almacen> AbrirEmbebido(const std::string& ruta, Error& error) {
    return Abrir(ruta, kVersionEsquema, error);
}

namespace interno {

namespace {
class ColumnasSqlite : public ColumnasIntento {
  public:
    ColumnasSqlite(const engine::Recordset& rs, int primera) : rs_(rs), primera_(primera) {}
    std::string Texto(int c) const override { return rs_.Field(primera_ + c).toPlainText(); }
    std::optional<std::int64_t> Entero(int c) const override {
        const Value& v = rs_.Field(primera_ + c);
        return v.isNull() ? std::nullopt : std::optional<std::int64_t>(v.toInt());
    }

  private:
    const engine::Recordset& rs_;
    int primera_;
};

Value TextoONulo(const std::string& s) {
    return s.empty() ? Value::Null() : Value::Text(s);
}
Value EnteroONulo(const std::optional<std::int64_t>& n) {
    return n ? Value::Int(*n) : Value::Null();
}
}  // namespace

Intento LeerIntento(const engine::Recordset& rs, int primera) {
    return LeerIntento(ColumnasSqlite(rs, primera));
}

std::vector<Value> ValoresIntento(const Intento& i) {
    return {TextoONulo(i.boletin),
            i.ModoBoletin() ? Value::Int(i.numero) : Value::Null(),
            TextoONulo(i.pregunta),
            TextoONulo(i.solucion),
            Value::Text(i.respuesta),
            Value::Text(i.veredicto),
            TextoONulo(i.motivo),
            EnteroONulo(i.filasRespuesta),
            EnteroONulo(i.filasSolucion),
            EnteroONulo(i.columnasRespuesta),
            EnteroONulo(i.columnasSolucion),
            i.mostrada ? Value::Int(i.mostrada) : Value::Null(),
            i.comprobada ? Value::Int(i.comprobada) : Value::Null(),
            Value::Text(i.versionPrograma)};
}

void PrepararSqlite(engine::Database& bd) {
    engine::Error e;
    bd.Execute("PRAGMA busy_timeout = 10000", e);
    bd.Execute("PRAGMA journal_mode = WAL", e);
    bd.Execute("PRAGMA synchronous = NORMAL", e);
}

bool EnTransaccion(engine::Database& bd, const std::function<bool()>& cuerpo, Error& error) {
    engine::Error e;
    if (!bd.BeginTransaction(e))
        return FallarMotor(e, error);
    if (!cuerpo()) {
        bd.Rollback();
        return false;
    }
    if (!bd.Commit(e)) {
        bd.Rollback();
        return FallarMotor(e, error);
    }
    return true;
}

bool MigrarSqlite(engine::Database& bd, const char* const migraciones[], int cuantas, int hasta,
                  Error& error) {
    for (;;) {
        bool hecho = false;
        const bool ok = EnTransaccion(
            bd,
            [&] {
                const int version = Version(bd, error);
                if (version < 0)
                    return false;
                if (version > cuantas) {
                    error = {Fallo::EsquemaNuevo, std::to_string(version)};
                    return false;
                }
                if (version >= hasta)
                    return hecho = true;
                engine::Error e;
                if (!bd.ExecuteScript(migraciones[version], e) ||
                    !bd.Execute("DELETE FROM esquema", e) ||
                    !bd.Execute("INSERT INTO esquema VALUES (?)", e, {Value::Int(version + 1)}))
                    return FallarMotor(e, error);
                return true;
            },
            error);
        if (!ok || hecho)
            return ok;
    }
}

std::unique_ptr<Almacen> AbrirEmbebidoEnVersion(const std::string& ruta, int version,
                                                Error& error) {
    return Abrir(ruta, version, error);
}
}  // namespace interno

}  // namespace veliora::aula
