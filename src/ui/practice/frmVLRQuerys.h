#pragma once
// Query practice window: random questions or the questions of a bulletin.

#include <QString>
#include <QWidget>

namespace veliora::ui {

class frmVLRQuerys : public QWidget {
    Q_OBJECT
public:
    explicit frmVLRQuerys(QWidget* parent = nullptr);
    ~frmVLRQuerys() override;

    // Empty: random mode; a bulletin's name: bulletin mode. Set before the window is shown.
    QString NombreBoletin() const { return nombreBoletin_; }
    void setNombreBoletin(const QString& nombre) { nombreBoletin_ = nombre; }

private:
    QString nombreBoletin_;
};

}  // namespace veliora::ui
