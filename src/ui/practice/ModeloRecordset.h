#pragma once
// A read-only table model over an engine result: rows are fetched from the engine only as
// the view scrolls to them, so a result of millions of rows opens at once.

#include <QAbstractTableModel>
#include <functional>
#include <memory>
#include <string>

#include "core/engine/database.h"

namespace veliora::ui {

class Trabajo;

class ModeloRecordset : public QAbstractTableModel {
  public:
    ModeloRecordset(std::unique_ptr<engine::Recordset> rs, QObject* parent = nullptr);
    ~ModeloRecordset() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // While another statement runs on the same connection (a worker), the view fetches
    // nothing: one thread uses the connection at a time.
    void Pausar(bool pausado) { pausado_ = pausado; }

    // The error that stopped fetching (the time limit, for example); none while fine.
    const engine::Error& Error() const { return rs_->Error(); }

    // Called once when fetching later rows fails (the first rows were fine).
    void AlFallar(std::function<void(const engine::Error&)> f) { alFallar_ = std::move(f); }

    static constexpr int kFilasPorBloque = 256;
    // The text a cell copies as: empty for NULL (shown as a greyed "NULL").
    static constexpr int kTextoCopiado = Qt::UserRole;
    // The cell as a literal of a statement: a number as it is, a text or date between single
    // quotes, NULL.
    static constexpr int kLiteralSql = Qt::UserRole + 1;

  private:
    std::unique_ptr<engine::Recordset> rs_;
    int filas_ = 0;  // rows the view knows of
    bool pausado_ = false;
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
