#pragma once
// Direct query window: runs any read-only statement and shows its result in a grid.

#include <QWidget>
#include <memory>
#include <string>

#include "core/engine/database.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace veliora::ui {

class EditorSql;
class ModeloRecordset;
class PanelEsquema;
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

    // Writes the whole result of the statement on show to a CSV file the user chooses, off
    // the window thread.
    void ExportarCsv();

    QSize sizeHint() const override { return {960, 560}; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void CargarTextos();
    // `enLectura`: reading the rows of a result on show failed (the status line says it
    // stopped); otherwise the statement failed and the status line is emptied.
    void MostrarError(const engine::Error& error, bool enLectura = false);
    void MostrarResultado(std::unique_ptr<engine::Recordset> rs, double segundos);
    void ActualizarFilas();
    void CargarEsquema();
    void ExportarCsvA(const QString& ruta);
    // The rows of a result still being read, counted on the worker; "≥ N" until known.
    void ContarFilas();
    // Ctrl+End: the whole result read on the worker, then its last row shown.
    void LeerTodas();

    std::shared_ptr<engine::Database> bdUsuario_;
    QGroupBox* FrPregunta_;
    EditorSql* txtPregunta_;
    PanelEsquema* pnlEsquema_;
    QPushButton* cmdEjecutar_;
    QPushButton* cmdSalir_;
    QTableView* DBGridDatos_;
    QLabel* lblFilas_;
    Trabajo* trabajo_;
    QTimer* ajusteColumnas_;
    ModeloRecordset* DataDatos_ = nullptr;
    double segundos_ = 0;
    long long total_ = -1;  // rows of the result on show; -1 while unknown
    bool contando_ = false;
    std::string sqlMostrada_;  // the statement whose result the grid shows
};

}  // namespace veliora::ui
