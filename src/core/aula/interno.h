#pragma once
// What both stores share: hashes, random codes and salts, checks of what comes in, and the
// overview built from grouped rows.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/aula/almacen.h"

namespace veliora::aula::interno {

// SHA-256 of `bytes`, lower-case hex.
std::string Sha256Hex(std::string_view bytes);
// SHA-256 of salt + secret: what a store keeps of a student's secret.
std::string HashSecreto(std::string_view sal, std::string_view secreto);
// `n` bytes from the system's secure random source (never the program's seeded one).
std::string BytesAleatorios(int n);
// A fresh join code: 8 characters without look-alikes (no 0/O, 1/I/L).
std::string NuevoCodigo();
// The login role of a class on a server.
std::string RolDeClase(const std::string& codigo);

// Almacen when the attempt cannot be stored as it is (no valid uuid, no verdict, a bulletin
// question without its number).
bool ValidarIntento(const Intento& intento, Error& error);
bool ValidarMaterial(const Material& material, Error& error);

// The overview from rows grouped by student and question: a row without bulletin holds the
// attempts of random mode (or none at all: `intentos` 0 lists a student without attempts).
void AnadirFila(Seguimiento& seguimiento, const std::string& alumno,
                const std::optional<std::string>& boletin, int numero, int intentos, int correctos,
                int mejor);

}  // namespace veliora::aula::interno

namespace veliora::engine {
class Database;
class Recordset;
struct Value;
}  // namespace veliora::engine

namespace veliora::aula::interno {
// Settings of the program's own SQLite files: a write-ahead log flushed at checkpoints (a
// killed process loses nothing committed; each commit costs no flush), and waits of up to
// 10 s for another process's write.
void PrepararSqlite(engine::Database& bd);
// Brings a SQLite file of the program up to migration `hasta` of `migraciones` (a table
// `esquema` holds the number), each in its own transaction; EsquemaNuevo when the file is
// newer than `cuantas` migrations.
bool MigrarSqlite(engine::Database& bd, const char* const migraciones[], int cuantas, int hasta,
                  Error& error);
// Runs `cuerpo` in a write transaction, committed when it returns true.
bool EnTransaccion(engine::Database& bd, const std::function<bool()>& cuerpo, Error& error);
// An attempt's columns in the order every store reads them back: uuid, student, database
// hash, bulletin, number, question, solution, answer, verdict, reason, the four counts,
// shown, checked, program version.
class ColumnasIntento {
  public:
    virtual ~ColumnasIntento() = default;
    virtual std::string Texto(int columna) const = 0;  // empty for a null
    virtual std::optional<std::int64_t> Entero(int columna) const = 0;
};
Intento LeerIntento(const ColumnasIntento& columnas);
// The same columns of a SQLite result, from `primera` on.
Intento LeerIntento(const engine::Recordset& rs, int primera = 0);
// What a SQLite file keeps of an attempt after its keys, in this order: bulletin, number,
// question, solution, answer, verdict, reason, the four counts, shown, checked, program
// version (empty texts and unknown times as nulls).
std::vector<engine::Value> ValoresIntento(const Intento& intento);
// The embedded store with its schema left at `version`.
std::unique_ptr<Almacen> AbrirEmbebidoEnVersion(const std::string& ruta, int version, Error& error);
}  // namespace veliora::aula::interno
