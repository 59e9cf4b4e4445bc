#pragma once
// Bulletin export: a bulletin's questions and answers, in clear, to a text file (or an HTML
// page or a PDF document) in the application directory.

#include <QWidget>
#include <memory>

#include "core/engine/database.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;

namespace veliora::ui {

class frmVLRExportarBoletin : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRExportarBoletin(QWidget* parent = nullptr);
    ~frmVLRExportarBoletin() override;

    // Time from loading to filling the list, in milliseconds (tests shorten it).
    static void FijarIntervaloInicio(int ms);

  private:
    void CargarTextos();
    void CargarListaBoletines();
    void cmdExportar_Click();
    void ExportarBoletin(const QString& nombre);

    std::shared_ptr<engine::Database> bdAuxiliar_;
    QGroupBox* frBoletines_;
    QComboBox* cboBoletin_;
    QRadioButton* OpContinuas_;
    QRadioButton* opSeparadas_;
    QLabel* lblFormato_;
    QComboBox* cboFormato_;
    QPushButton* cmdExportar_;
    QPushButton* cmdSalir_;
    QTimer* TmrInicio_;
};

}  // namespace veliora::ui
