#pragma once
// Bulletin selection dialog: choose a bulletin to practise, or store the query on show.

#include <QDialog>
#include <QString>

namespace veliora::ui {

class frmVLRGuardarQuery : public QDialog {
    Q_OBJECT
public:
    explicit frmVLRGuardarQuery(QWidget* parent = nullptr);
    ~frmVLRGuardarQuery() override;

    bool ModoConsultas() const { return modoConsultas_; }
    void setModoConsultas(bool v) { modoConsultas_ = v; }
    QString Query() const { return query_; }
    void setQuery(const QString& v) { query_ = v; }
    QString Solucion() const { return solucion_; }
    void setSolucion(const QString& v) { solucion_ = v; }

private:
    bool modoConsultas_ = false;
    QString query_;
    QString solucion_;
};

}  // namespace veliora::ui
