#pragma once
// Auxiliary data initialisation: fills the data dictionary with default names in one step.

#include <QWidget>
#include <memory>

#include "core/dictionary/esquema.h"
#include "core/engine/database.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace veliora::ui {

class frmVLRCrearBDAuxiliar : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRCrearBDAuxiliar(QWidget* parent = nullptr);
    ~frmVLRCrearBDAuxiliar() override;

    void CargarTextos();
    // Asks first; then replaces the dictionary and reports every row it had to skip.
    void GenerarDatosAuxiliares();

  private:
    QGroupBox* Frame1_ = nullptr;
    QLabel* Label1_ = nullptr;
    QPushButton* cmdCrear_ = nullptr;
    QPushButton* cmdSalir_ = nullptr;
    // The databases open when the window was loaded.
    std::shared_ptr<engine::Database> usuario_, auxiliar_;
    ColTablas estructura_;
};

}  // namespace veliora::ui
