#pragma once
// Auxiliary data initialisation (not built yet: a placeholder window).

#include <QWidget>

namespace veliora::ui {

class frmVLRCrearBDAuxiliar : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRCrearBDAuxiliar(QWidget* parent = nullptr);
    ~frmVLRCrearBDAuxiliar() override;
};

}  // namespace veliora::ui
