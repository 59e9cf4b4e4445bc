#pragma once
// Direct query window: runs any read-only statement and shows its result in a grid.

#include <QWidget>
#include <memory>

#include "core/engine/database.h"

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace veliora::ui {

class ModeloRecordset;

class frmVLREjecutarQuery : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLREjecutarQuery(QWidget* parent = nullptr);
    ~frmVLREjecutarQuery() override;

    // Runs the text of txtPregunta and shows its rows; an engine error is reported instead.
    void cmdEjecutar_Click();

    QSize sizeHint() const override { return {720, 480}; }

  private:
    void CargarTextos();
    void MostrarError(const engine::EngineError& error);

    std::shared_ptr<engine::Database> bdUsuario_;
    QGroupBox* FrPregunta_;
    QPlainTextEdit* txtPregunta_;
    QPushButton* cmdEjecutar_;
    QPushButton* cmdSalir_;
    QTableView* DBGridDatos_;
    ModeloRecordset* DataDatos_ = nullptr;
};

}  // namespace veliora::ui
