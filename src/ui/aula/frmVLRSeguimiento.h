#pragma once
// "Seguimiento de la clase": students × bulletin questions, each cell coloured by the best
// verdict with the number of attempts; a cell lists its attempts, one of which may be judged
// again on the open database. Reads the class off the window thread and again every few
// seconds while open.

#include <QString>
#include <QWidget>
#include <vector>

#include "core/aula/almacen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

namespace veliora::ui {

class Trabajo;

class frmVLRSeguimiento : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRSeguimiento(QWidget* parent = nullptr);
    ~frmVLRSeguimiento() override;

    void CargarTextos();
    // Reads the class again (the filter's bulletin alone when one is chosen).
    void Actualizar();
    // The overview on show, as CSV, to `ruta`.
    bool Exportar(const QString& ruta);
    // Poll period in milliseconds (tests shorten it).
    static void FijarPeriodo(int ms);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Mostrar(aula::Seguimiento seguimiento, const std::string& boletin);
    void MostrarCelda(int fila, int columna, const aula::Celda* celda);
    void AbrirCelda(int fila, int columna);
    void MostrarIntentos(std::vector<aula::Intento> intentos, const QString& titulo);
    void cmdExportar_Click();
    void cmdRejuzgar_Click();

    QLineEdit* txtServidor_;
    QLineEdit* txtCodigo_;
    QLineEdit* txtContrasena_;
    QComboBox* cboBoletin_;
    QPushButton* cmdActualizar_;
    QPushButton* cmdExportar_;
    QTableWidget* grdSeguimiento_;
    QLabel* lblIntentos_;
    QTableWidget* grdIntentos_;
    QPushButton* cmdRejuzgar_;
    Trabajo* trabajo_;
    QTimer* tmrActualizar_;

    aula::Seguimiento seguimiento_;
    std::vector<aula::ClavePregunta> columnas_;
    std::vector<aula::Intento> intentos_;
};

}  // namespace veliora::ui
