#pragma once
// Bulletin import (not built yet: a placeholder window).

#include <QWidget>

namespace veliora::ui {

class frmVLRImportarBoletines : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRImportarBoletines(QWidget* parent = nullptr);
    ~frmVLRImportarBoletines() override;
};

}  // namespace veliora::ui
