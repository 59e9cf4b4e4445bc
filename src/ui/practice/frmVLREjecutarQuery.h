#pragma once
// Direct query window: runs any read-only statement and shows its result in a grid.

#include <QWidget>
#include <memory>

#include "core/engine/database.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace veliora::ui {

class ModeloRecordset;
class Trabajo;

class frmVLREjecutarQuery : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLREjecutarQuery(QWidget* parent = nullptr);
    ~frmVLREjecutarQuery() override;

    // Runs the text of txtPregunta off the window thread; its rows, or the engine's error,
    // show when it ends.
    void cmdEjecutar_Click();
    bool Ocupada() const;
    void Cancelar();

    QSize sizeHint() const override { return {720, 480}; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CargarTextos();
    void MostrarError(const engine::EngineError& error);
    void MostrarResultado(std::unique_ptr<engine::Recordset> rs, double segundos);
    void ActualizarFilas();
    void CopiarSeleccion();

    std::shared_ptr<engine::Database> bdUsuario_;
    QGroupBox* FrPregunta_;
    QPlainTextEdit* txtPregunta_;
    QPushButton* cmdEjecutar_;
    QPushButton* cmdSalir_;
    QTableView* DBGridDatos_;
    QLabel* lblFilas_;
    Trabajo* trabajo_;
    QTimer* ajusteColumnas_;
    ModeloRecordset* DataDatos_ = nullptr;
    double segundos_ = 0;
};

}  // namespace veliora::ui
