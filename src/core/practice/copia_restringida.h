#pragma once
// An in-memory copy of the tables two statements read, changed only in ways its schema
// allows: each change runs inside a savepoint, rows that referred to deleted rows go with
// them, and a change that leaves a key broken is undone.

#include <memory>
#include <string>
#include <vector>

#include "core/engine/database.h"

namespace veliora {

// One statement of a change, with its parameters.
struct Paso {
    std::string sql;
    std::vector<engine::Value> parametros;
};

struct Cambio {
    std::vector<Paso> pasos;
    std::vector<std::string> tablas;  // the tables the steps write
    bool borra = false;               // the steps delete rows: those referring to them go too
    // When the steps only update these columns: none of a key, a reference or a unique index
    // spares the checks the engine does not make.
    std::vector<std::string> columnas;
};

class CopiaRestringida {
  public:
    // `copia` holds `tablas` (Database::OpenMemoryCopy); of `relaciones`, those between two
    // copied tables are kept. The keys the copied data breaks already are noted: a change is
    // only refused for the ones it breaks.
    CopiaRestringida(std::shared_ptr<engine::Database> copia, std::vector<std::string> tablas,
                     const std::vector<engine::Relation>& relaciones);

    engine::Database& bd() { return *copia_; }
    const std::vector<std::string>& Tablas() const { return tablas_; }
    // Relations between copied tables in which `tabla` is the referenced (parent) side, or
    // the referencing (child) one.
    std::vector<const engine::Relation*> Hijas(const std::string& tabla) const;
    std::vector<const engine::Relation*> Padres(const std::string& tabla) const;

    // Runs the change on top of those applied so far. When it deletes, the rows left
    // referring to deleted rows are deleted as well, over and over (their tables, in order,
    // go to `arrastradas`). True when every step ran and the copy still keeps its schema:
    // primary keys without nulls and unique, not-null columns, unique indexes, checks, and
    // foreign keys (a value set exists in the referenced table), unique texts unique also
    // ignoring letter case (as statements compare them). Otherwise the change is undone and
    // false returned. A change kept is undone with Deshacer, the latest first.
    bool Aplicar(const Cambio& cambio, std::vector<std::string>* arrastradas = nullptr);
    void Deshacer();
    int Aplicados() const { return aplicados_; }

  private:
    std::vector<std::string> Afectadas(const std::vector<std::string>& tablas) const;
    // Whether a unique key of the tables given repeats texts ignoring letter case in more
    // rows than the copied data did.
    bool MasTextosRepetidos(const std::vector<std::string>& tablas);
    // Whether a change may break what the engine leaves unchecked.
    bool PuedeRomper(const Cambio& cambio) const;
    bool BorrarHuerfanas(std::vector<std::string>& arrastradas);
    bool Ejecutar(const std::string& sql, const std::vector<engine::Value>& parametros = {});

    std::shared_ptr<engine::Database> copia_;
    std::vector<std::string> tablas_;
    std::vector<engine::Relation> relaciones_;  // between copied tables
    std::vector<std::string> rotas_;            // keys the copied data broke already
    // Per unique key holding texts: the query counting the groups of rows that repeat it
    // ignoring letter case, and how many the copied data held.
    struct Repetidos {
        std::string tabla, sql;
        std::int64_t antes = 0;
    };
    std::vector<Repetidos> repetidos_;
    std::vector<std::string> deClave_;  // "table.column" of keys, references, unique indexes
    int aplicados_ = 0;
};

}  // namespace veliora
