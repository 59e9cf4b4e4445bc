#pragma once
// Direct query window: runs any read-only statement and shows its result in a grid.

#include <QWidget>

namespace veliora::ui {

class frmVLREjecutarQuery : public QWidget {
    Q_OBJECT
public:
    explicit frmVLREjecutarQuery(QWidget* parent = nullptr);
    ~frmVLREjecutarQuery() override;
};

}  // namespace veliora::ui
