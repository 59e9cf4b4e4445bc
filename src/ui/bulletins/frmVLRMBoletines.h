#pragma once
// Bulletin maintenance (not built yet: a placeholder window).

#include <QWidget>

namespace veliora::ui {

class frmVLRMBoletines : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRMBoletines(QWidget* parent = nullptr);
    ~frmVLRMBoletines() override;
};

}  // namespace veliora::ui
