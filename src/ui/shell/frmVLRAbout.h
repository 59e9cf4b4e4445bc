#pragma once
// About box: product name, version, description, and a way to the system information.

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;

namespace veliora::ui {

class frmVLRAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmVLRAbout(QWidget* parent = nullptr);
    ~frmVLRAbout() override;

    void CargarTextos();
    // Starts the first system-information program found on the PATH; otherwise says so.
    void StartSysInfo();

    // Programs tried by StartSysInfo, in order.
    static const QStringList& ProgramasInfoSistema();
    // Starts a program detached and says whether it started; replaceable in tests.
    using Lanzador = std::function<bool(const QString& programa)>;
    static void FijarLanzador(Lanzador lanzador);

  private:
    QLabel* Image1_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLabel* lblDisclaimer_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
};

}  // namespace veliora::ui
