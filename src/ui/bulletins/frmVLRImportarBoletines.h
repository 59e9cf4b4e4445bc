#pragma once
// Bulletin import: copies the files a teacher hands out from a chosen folder into the
// application directory.

#include <QString>
#include <QWidget>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;

namespace veliora::ui {

class frmVLRImportarBoletines : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRImportarBoletines(QWidget* parent = nullptr);
    ~frmVLRImportarBoletines() override;

    // Asks for the source folder starting at `inicial`; empty when cancelled. Tests replace
    // the folder dialog with their own answer; an empty function restores it.
    using SelectorCarpeta = std::function<QString(QWidget* padre, const QString& inicial)>;
    static void FijarSelectorCarpeta(SelectorCarpeta selector);

  private:
    void CargarTextos();
    void cmdAceptar_Click();

    QGroupBox* Frame1_;
    QLabel* Label1_;
    QPushButton* cmdAceptar_;
    QPushButton* cmdSalir_;
};

}  // namespace veliora::ui
