#pragma once
// Access control: grants teacher mode to the one fixed user name and password.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace veliora::ui {

class frmVLRLogin : public QDialog {
    Q_OBJECT
  public:
    explicit frmVLRLogin(QWidget* parent = nullptr);
    ~frmVLRLogin() override;

    void CargarTextos();

  private:
    void cmdAceptar_Click();
    void cmdCancelar_Click();

    QLabel* lblNombre_ = nullptr;
    QLineEdit* txtUserName_ = nullptr;
    QLabel* lblContrasenya_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    QPushButton* cmdAceptar_ = nullptr;
    QPushButton* cmdCancelar_ = nullptr;
};

}  // namespace veliora::ui
