#pragma once
// A teacher's overview of a bulletin: every question in a table (number, question, answer);
// a double-click goes to that line in the maintenance window.

#include <QString>
#include <QWidget>

class QTableWidget;

namespace veliora::ui {

class frmVLRResumenBoletin : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRResumenBoletin(QWidget* parent = nullptr);

    // Shows the lines of bulletin `nombre` (unscrambled), in the order of their numbers.
    void Cargar(const QString& nombre);
    QTableWidget* Tabla() const { return grdResumen_; }

    QSize sizeHint() const override { return {760, 420}; }

  signals:
    void preguntaElegida(const QString& boletin, int numero);

  private:
    QString boletin_;
    QTableWidget* grdResumen_;
};

}  // namespace veliora::ui
