#pragma once
// Bulletin selection dialog: choose a bulletin to practise, or store the query on show.

#include <QDialog>
#include <QString>
#include <memory>

#include "core/engine/database.h"

class QComboBox;
class QGroupBox;
class QPushButton;
class QTimer;

namespace veliora::ui {

class frmVLRGuardarQuery : public QDialog {
    Q_OBJECT
  public:
    explicit frmVLRGuardarQuery(QWidget* parent = nullptr);
    ~frmVLRGuardarQuery() override;

    // Yes: choose the bulletin to practise; no: store Query and Solucion in the bulletin.
    bool ModoConsultas() const { return modoConsultas_; }
    void setModoConsultas(bool v) { modoConsultas_ = v; }
    // The SQL answer to store.
    QString Query() const { return query_; }
    void setQuery(const QString& v) { query_ = v; }
    // The question wording to store.
    QString Solucion() const { return solucion_; }
    void setSolucion(const QString& v) { solucion_ = v; }

    // Time from loading to filling the list, in milliseconds (tests shorten it).
    static void FijarIntervaloInicio(int ms);

  private:
    void CargarTextos();
    void CargarBoletines();
    void cmdAceptar_Click();

    bool modoConsultas_ = false;
    QString query_;
    QString solucion_;
    std::shared_ptr<engine::Database> bdAuxiliar_;

    QGroupBox* frBoletines_;
    QComboBox* cboBoletin_;
    QPushButton* cmdAceptar_;
    QPushButton* cmdCancelar_;
    QTimer* TmrInicio_;
};

}  // namespace veliora::ui
