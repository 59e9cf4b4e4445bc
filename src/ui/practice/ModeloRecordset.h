#pragma once
// A read-only table model over an engine result: rows are fetched from the engine only as
// the view scrolls to them, so a result of millions of rows opens at once. The window thread
// never steps the engine: a block of rows is read by the window's Trabajo (its strip shows,
// with Cancel) and inserted when delivered.

#include <QAbstractTableModel>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/engine/database.h"

namespace veliora::ui {

class Trabajo;

class ModeloRecordset : public QAbstractTableModel {
  public:
    // `rs`: a result no worker is reading (as LanzarConsulta delivers it); its rows read so
    // far show at once. Later blocks are read on `trabajo`'s worker over `bd`.
    ModeloRecordset(std::unique_ptr<engine::Recordset> rs, std::shared_ptr<engine::Database> bd,
                    Trabajo* trabajo, QObject* parent = nullptr);
    ~ModeloRecordset() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // A block is being read; nothing more is asked for until it is delivered.
    bool Cargando() const { return cargando_; }
    // The block being read gives way (to a new statement): cancelled; no more rows are read.
    void Detener();

    // The error that stopped fetching (the time limit, for example); none while fine.
    const engine::Error& Error() const { return error_; }

    // Called once when fetching later rows fails (the first rows were fine).
    void AlFallar(std::function<void(const engine::Error&)> f) { alFallar_ = std::move(f); }

    static constexpr int kFilasPorBloque = 256;
    // The text a cell copies as: empty for NULL (shown as a greyed "NULL").
    static constexpr int kTextoCopiado = Qt::UserRole;
    // The cell as a literal of a statement: a number as it is, a text or date between single
    // quotes, NULL.
    static constexpr int kLiteralSql = Qt::UserRole + 1;

  private:
    // Rows read on a worker, told to the window thread: where each row's values lie (they
    // stay there while the recordset lives) and how the reading stands.
    struct Bloque {
        std::vector<const engine::Value*> filas;
        bool final = false;
        engine::Error error;
    };
    // The rows of `rs` from `desde` on; by whoever reads `rs` now.
    static Bloque Leer(const engine::Recordset& rs, std::size_t desde);
    void Recibir(Bloque bloque);

    // Shared with the worker reading a block, so it outlives a model closed meanwhile.
    std::shared_ptr<engine::Recordset> rs_;
    std::shared_ptr<engine::Database> bd_;
    QPointer<Trabajo> trabajo_;
    // The rows the view knows of; read only on the window thread, never the recordset's own
    // row list, which a worker may be growing.
    std::vector<const engine::Value*> filas_;
    int columnas_ = 0;
    bool final_ = false;  // every row read, or the reading stopped
    bool cargando_ = false;
    engine::Error error_;
    std::function<void(const engine::Error&)> alFallar_;
};

// Runs `sql` on `bd` with `trabajo` (off the window thread) and reads its first block of rows
// there; `entregar` then gets, on the window thread, the result (null with the engine's error
// when it failed) and the seconds it took. False when other work of `trabajo` runs. `filas`:
// the rows read there (all of them with SIZE_MAX).
using EntregaConsulta =
    std::function<void(std::unique_ptr<engine::Recordset>, const engine::Error&, double)>;
bool LanzarConsulta(Trabajo* trabajo, const QString& descripcion,
                    std::shared_ptr<engine::Database> bd, const std::string& sql,
                    EntregaConsulta entregar, std::function<void()> alCancelar = {},
                    std::size_t filas = ModeloRecordset::kFilasPorBloque);

}  // namespace veliora::ui
