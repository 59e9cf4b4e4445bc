#include "core/aula/buzon.h"

#include "core/aula/interno.h"
#include "core/engine/database.h"

namespace veliora::aula {

namespace {

using engine::Value;

constexpr const char* kMigraciones[] = {
    "CREATE TABLE esquema (version INTEGER NOT NULL);"
    "CREATE TABLE intentos (orden INTEGER PRIMARY KEY AUTOINCREMENT,"
    " servidor TEXT NOT NULL, clase TEXT NOT NULL, alumno TEXT NOT NULL,"
    " enviado INTEGER NOT NULL DEFAULT 0, uuid TEXT NOT NULL UNIQUE, hash_bd TEXT NOT NULL,"
    " boletin TEXT, numero INTEGER, pregunta TEXT, solucion TEXT, respuesta TEXT NOT NULL,"
    " veredicto TEXT NOT NULL, motivo TEXT, filas_respuesta INTEGER, filas_solucion INTEGER,"
    " columnas_respuesta INTEGER, columnas_solucion INTEGER, mostrada INTEGER,"
    " comprobada INTEGER, version_programa TEXT);"
    "CREATE INDEX intentos_pendientes ON intentos (servidor, clase, alumno, enviado, orden);",
};

constexpr const char* kDeMembresia = " WHERE servidor = ? AND clase = ? AND alumno = ?";

std::vector<Value> Clave(const Membresia& m) {
    return {Value::Text(m.servidor), Value::Text(NormalizarCodigo(m.clase)), Value::Text(m.alumno)};
}

Value TextoONulo(const std::string& s) {
    return s.empty() ? Value::Null() : Value::Text(s);
}
Value EnteroONulo(const std::optional<std::int64_t>& n) {
    return n ? Value::Int(*n) : Value::Null();
}
std::optional<std::int64_t> Opcional(const Value& v) {
    return v.isNull() ? std::nullopt : std::optional<std::int64_t>(v.toInt());
}

constexpr const char* kColumnas =
    "orden, uuid, hash_bd, boletin, numero, pregunta, solucion, respuesta, veredicto, motivo,"
    " filas_respuesta, filas_solucion, columnas_respuesta, columnas_solucion, mostrada,"
    " comprobada, version_programa";

std::pair<std::int64_t, Intento> LeerFila(const engine::Recordset& rs, const std::string& alumno) {
    Intento i;
    i.uuid = rs.Field(1).text;
    i.alumno = alumno;
    i.hashBd = rs.Field(2).text;
    i.boletin = rs.Field(3).toPlainText();
    i.numero = int(rs.Field(4).toInt());
    i.pregunta = rs.Field(5).toPlainText();
    i.solucion = rs.Field(6).toPlainText();
    i.respuesta = rs.Field(7).toPlainText();
    i.veredicto = rs.Field(8).toPlainText();
    i.motivo = rs.Field(9).toPlainText();
    i.filasRespuesta = Opcional(rs.Field(10));
    i.filasSolucion = Opcional(rs.Field(11));
    i.columnasRespuesta = Opcional(rs.Field(12));
    i.columnasSolucion = Opcional(rs.Field(13));
    i.mostrada = rs.Field(14).toInt();
    i.comprobada = rs.Field(15).toInt();
    i.versionPrograma = rs.Field(16).toPlainText();
    return {rs.Field(0).toInt(), std::move(i)};
}

}  // namespace

Buzon::Buzon(std::shared_ptr<engine::Database> bd) : bd_(std::move(bd)) {}
Buzon::~Buzon() = default;

std::unique_ptr<Buzon> Buzon::Abrir(const std::filesystem::path& directorio, Error& error) {
    engine::EngineError e;
    auto bd = engine::Database::Create((directorio / "pendientes.db").string(), e);
    if (!bd) {
        error = {Fallo::Archivo, e.description};
        return nullptr;
    }
    interno::PrepararSqlite(*bd);
    if (!interno::MigrarSqlite(*bd, kMigraciones, int(std::size(kMigraciones)),
                               int(std::size(kMigraciones)), error))
        return nullptr;
    return std::unique_ptr<Buzon>(new Buzon(std::move(bd)));
}

bool Buzon::Guardar(const Membresia& m, const Intento& i, Error& error) {
    if (!interno::ValidarIntento(i, error))
        return false;
    auto valores = Clave(m);
    valores.insert(
        valores.end(),
        {Value::Text(i.uuid), Value::Text(i.hashBd), TextoONulo(i.boletin),
         i.ModoBoletin() ? Value::Int(i.numero) : Value::Null(), TextoONulo(i.pregunta),
         TextoONulo(i.solucion), Value::Text(i.respuesta), Value::Text(i.veredicto),
         TextoONulo(i.motivo), EnteroONulo(i.filasRespuesta), EnteroONulo(i.filasSolucion),
         EnteroONulo(i.columnasRespuesta), EnteroONulo(i.columnasSolucion), Value::Int(i.mostrada),
         Value::Int(i.comprobada), Value::Text(i.versionPrograma)});
    engine::EngineError e;
    if (!bd_->Execute("INSERT INTO intentos (servidor, clase, alumno, uuid, hash_bd, boletin,"
                      " numero, pregunta, solucion, respuesta, veredicto, motivo, filas_respuesta,"
                      " filas_solucion, columnas_respuesta, columnas_solucion, mostrada,"
                      " comprobada, version_programa)"
                      " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      e, valores)) {
        error = {Fallo::Archivo, e.description};
        return false;
    }
    return true;
}

int Buzon::Pendientes(const Membresia& m, Error& error) {
    engine::EngineError e;
    const Value n = bd_->Scalar(
        std::string("SELECT count(*) FROM intentos") + kDeMembresia + " AND enviado = 0", e,
        Clave(m));
    if (e.failed())
        error = {Fallo::Archivo, e.description};
    return int(n.toInt());
}

std::vector<std::pair<std::int64_t, Intento>> Buzon::Siguientes(const Membresia& m, Error& error) {
    engine::EngineError e;
    auto rs = bd_->OpenRecordset(std::string("SELECT ") + kColumnas + " FROM intentos" +
                                     kDeMembresia + " AND enviado = 0 ORDER BY orden LIMIT 100",
                                 e, Clave(m));
    std::vector<std::pair<std::int64_t, Intento>> filas;
    if (!rs) {
        error = {Fallo::Archivo, e.description};
        return filas;
    }
    for (; !rs->Eof(); rs->MoveNext()) filas.push_back(LeerFila(*rs, m.alumno));
    return filas;
}

int Buzon::Enviar(const Membresia& m, Almacen& almacen, Error& error) {
    int enviados = 0;
    for (auto lote = Siguientes(m, error); !lote.empty() && !error.failed();
         lote = Siguientes(m, error)) {
        for (const auto& [orden, intento] : lote) {
            if (!almacen.Registrar(m.Credencial(), intento, error))
                return enviados;
            engine::EngineError e;
            if (!bd_->Execute("UPDATE intentos SET enviado = 1 WHERE orden = ?", e,
                              {Value::Int(orden)})) {
                error = {Fallo::Archivo, e.description};
                return enviados;
            }
            ++enviados;
        }
    }
    return enviados;
}

std::vector<Intento> Buzon::Propios(const Membresia& m, Error& error) {
    engine::EngineError e;
    auto rs = bd_->OpenForwardOnly(
        std::string("SELECT ") + kColumnas + " FROM intentos" + kDeMembresia + " ORDER BY orden", e,
        Clave(m));
    std::vector<Intento> intentos;
    if (!rs) {
        error = {Fallo::Archivo, e.description};
        return intentos;
    }
    for (; !rs->Eof(); rs->MoveNext()) intentos.push_back(LeerFila(*rs, m.alumno).second);
    return intentos;
}

std::map<ClavePregunta, Celda> Progreso(const std::vector<Intento>& intentos) {
    std::map<ClavePregunta, Celda> progreso;
    for (const Intento& i : intentos) {
        if (!i.ModoBoletin())
            continue;
        Celda& celda = progreso[{i.boletin, i.numero}];
        const Mejor mejor = MejorDeVeredicto(i.veredicto);
        celda.mejor = celda.intentos == 0 ? mejor : std::max(celda.mejor, mejor);
        ++celda.intentos;
    }
    return progreso;
}

}  // namespace veliora::aula
