#include "core/aula/buzon.h"

#include "core/aula/interno.h"
#include "core/engine/database.h"
#include "core/shell/errores.h"

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

constexpr const char* kColumnas =
    "orden, uuid, alumno, hash_bd, boletin, numero, pregunta, solucion, respuesta, veredicto, "
    "motivo,"
    " filas_respuesta, filas_solucion, columnas_respuesta, columnas_solucion, mostrada,"
    " comprobada, version_programa";

std::pair<std::int64_t, Intento> LeerFila(const engine::Recordset& rs) {
    return {rs.Field(0).toInt(), interno::LeerIntento(rs, 1)};
}

}  // namespace

Buzon::Buzon(std::shared_ptr<engine::Database> bd) : bd_(std::move(bd)) {}
Buzon::~Buzon() = default;

std::unique_ptr<Buzon> Buzon::Abrir(const std::filesystem::path& directorio, Error& error) {
    engine::Error e;
    auto bd = engine::Database::Create((directorio / "pendientes.db").string(), e);
    if (!bd) {
        error = {Fallo::Archivo, TextoDeError(e)};
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
    valores.push_back(Value::Text(i.uuid));
    valores.push_back(Value::Text(i.hashBd));
    for (Value& v : interno::ValoresIntento(i)) valores.push_back(std::move(v));
    engine::Error e;
    if (!bd_->Execute("INSERT INTO intentos (servidor, clase, alumno, uuid, hash_bd, boletin,"
                      " numero, pregunta, solucion, respuesta, veredicto, motivo, filas_respuesta,"
                      " filas_solucion, columnas_respuesta, columnas_solucion, mostrada,"
                      " comprobada, version_programa)"
                      " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      e, valores)) {
        error = {Fallo::Archivo, TextoDeError(e)};
        return false;
    }
    return true;
}

int Buzon::Pendientes(const Membresia& m, Error& error) {
    engine::Error e;
    const Value n = bd_->Scalar(
        std::string("SELECT count(*) FROM intentos") + kDeMembresia + " AND enviado = 0", e,
        Clave(m));
    if (e.failed())
        error = {Fallo::Archivo, TextoDeError(e)};
    return int(n.toInt());
}

std::vector<std::pair<std::int64_t, Intento>> Buzon::Siguientes(const Membresia& m, Error& error) {
    engine::Error e;
    auto rs = bd_->OpenRecordset(std::string("SELECT ") + kColumnas + " FROM intentos" +
                                     kDeMembresia + " AND enviado = 0 ORDER BY orden LIMIT 100",
                                 e, Clave(m));
    std::vector<std::pair<std::int64_t, Intento>> filas;
    if (!rs) {
        error = {Fallo::Archivo, TextoDeError(e)};
        return filas;
    }
    for (; !rs->Eof(); rs->MoveNext()) filas.push_back(LeerFila(*rs));
    return filas;
}

int Buzon::Enviar(const Membresia& m, Almacen& almacen, Error& error) {
    int enviados = 0;
    for (auto lote = Siguientes(m, error); !lote.empty() && !error.failed();
         lote = Siguientes(m, error)) {
        for (const auto& [orden, intento] : lote) {
            if (!almacen.Registrar(m.Credencial(), intento, error))
                return enviados;
            engine::Error e;
            if (!bd_->Execute("UPDATE intentos SET enviado = 1 WHERE orden = ?", e,
                              {Value::Int(orden)})) {
                error = {Fallo::Archivo, TextoDeError(e)};
                return enviados;
            }
            ++enviados;
        }
    }
    return enviados;
}

std::vector<Intento> Buzon::Propios(const Membresia& m, Error& error) {
    engine::Error e;
    auto rs = bd_->OpenForwardOnly(
        std::string("SELECT ") + kColumnas + " FROM intentos" + kDeMembresia + " ORDER BY orden", e,
        Clave(m));
    std::vector<Intento> intentos;
    if (!rs) {
        error = {Fallo::Archivo, TextoDeError(e)};
        return intentos;
    }
    for (; !rs->Eof(); rs->MoveNext()) intentos.push_back(LeerFila(*rs).second);
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
