#pragma once
// Bulletin maintenance: create and delete bulletins, write, browse, change and delete their
// numbered lines.

#include <QWidget>
#include <memory>

#include "core/bulletins/mantenimiento.h"
#include "core/engine/database.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace veliora::ui {

class Trabajo;

class frmVLRMBoletines : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRMBoletines(QWidget* parent = nullptr);
    ~frmVLRMBoletines() override;

    // Shows line `numero` of bulletin `boletin` (the overview's double-click).
    void IrAPregunta(const QString& boletin, int numero);
    // Runs the answer box's statement off the window thread and shows its rows below it.
    void cmdProbar_Click();

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    void CargarTextos();
    void CargarBoletines();
    void LimpiarCampos();
    void AbrirLineas();
    void SiguienteNumero();
    bool ExistePregunta();
    bool BuscarPregunta();
    void MostrarLinea();
    bool InsertarLinea();
    bool ModificarLinea();
    void ComprobarLimites();
    void EliminarBoletin(const QString& nombre);

    // The value of the number box: its whole number, 0 when it holds none.
    int Numero() const;
    std::string Boletin() const;
    void Seleccionar(int indice);
    // Inserts or updates line `numero` with the boxes' texts; on failure the message is
    // shown and the texts stay in the boxes.
    bool GuardarLinea(bool nueva, int numero);
    // Shows a refused or failed save; the user's texts stay in the boxes.
    void ErrorGuardando(const engine::Error& error, const char* paso);

    void cboBoletin_Click();
    void cmdCambioOpcion_Click();
    void txtNumPregunta_GotFocus();
    void txtNumPregunta_LostFocus();
    void cmdARegistro_Click();
    void cmdSRegistro_Click();
    void cmdGuardar_Click();
    void cmdBorrar_Click();
    void cmdNuevoBoletin_Click();
    void cmdEliminarBoletin_Click();
    void cmdVerTodas_Click();

    std::shared_ptr<engine::Database> bdAuxiliar_;
    std::shared_ptr<engine::Database> bdUsuario_;  // where a line's answer must run
    CursorLineas cursor_;
    bool modoNuevo_ = false;
    bool primerPintado_ = true;

    QGroupBox* frBoletines_;
    QLabel* lblNombre_;
    QComboBox* cboBoletin_;
    QPushButton* cmdNuevoBoletin_;
    QPushButton* cmdEliminarBoletin_;
    QPushButton* cmdSalir_;
    QGroupBox* frPreguntas_;
    QLabel* lblPregunta_;
    QLineEdit* txtNumPregunta_;
    QLabel* lblPreguntaNatural_;
    QPlainTextEdit* txtPregunta_;
    QLabel* lblRespuesta_;
    QPlainTextEdit* txtRespuesta_;
    QPushButton* cmdCambioOpcion_;
    QPushButton* cmdGuardar_;
    QPushButton* cmdBorrar_;
    QPushButton* cmdARegistro_;
    QPushButton* cmdSRegistro_;
    QPushButton* cmdProbar_;
    QPushButton* cmdVerTodas_;
    QTableView* grdProbar_;
    QLabel* lblProbar_;
    Trabajo* trabajo_;
    QLineEdit* txtIntercambio_;
};

}  // namespace veliora::ui
