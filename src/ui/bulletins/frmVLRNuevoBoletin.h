#pragma once
// Asks for the name of a new bulletin and creates it.

#include <QDialog>
#include <QPointer>
#include <memory>

#include "core/engine/database.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace veliora::ui {

class frmVLRNuevoBoletin : public QDialog {
    Q_OBJECT
  public:
    explicit frmVLRNuevoBoletin(QWidget* parent = nullptr);
    ~frmVLRNuevoBoletin() override;

    // The object whose "text" property receives the new name once the bulletin exists;
    // left untouched when the dialog is cancelled or the name refused.
    void setObjetoIntercambio(QObject* objeto) { intercambio_ = objeto; }

  private:
    void cmdAceptar_Click();

    std::shared_ptr<engine::Database> bdAuxiliar_;
    QPointer<QObject> intercambio_;
    QGroupBox* frNuevoBoletin_;
    QLineEdit* txtNombreBoletin_;
    QPushButton* cmdAceptar_;
    QPushButton* cmdCancelar_;
};

}  // namespace veliora::ui
