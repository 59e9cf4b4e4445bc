#pragma once
// Bulletin export to text files (not built yet: a placeholder window).

#include <QWidget>

namespace veliora::ui {

class frmVLRExportarBoletin : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRExportarBoletin(QWidget* parent = nullptr);
    ~frmVLRExportarBoletin() override;
};

}  // namespace veliora::ui
