#pragma once
// "Mi progreso": the student's own attempts per bulletin question (best verdict, number of
// attempts), from the record kept on this machine.

#include <QWidget>

class QTableWidget;

namespace veliora::ui {

class Trabajo;

class frmVLRMiProgreso : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRMiProgreso(QWidget* parent = nullptr);
    ~frmVLRMiProgreso() override;

    void CargarTextos();
    // Reads the record again, off the window thread.
    void Actualizar();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QTableWidget* grdProgreso_;
    Trabajo* trabajo_;
};

}  // namespace veliora::ui
