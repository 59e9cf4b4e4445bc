#pragma once
// Data dictionary editor (not built yet: a placeholder window).

#include <QWidget>

namespace veliora::ui {

class frmVLRDefinirDatos : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRDefinirDatos(QWidget* parent = nullptr);
    ~frmVLRDefinirDatos() override;

    // False: the dictionary is only shown; true: it can be edited. Set before showing.
    bool DatosModificables() const { return datosModificables_; }
    void setDatosModificables(bool v) { datosModificables_ = v; }

  private:
    bool datosModificables_ = false;
};

}  // namespace veliora::ui
