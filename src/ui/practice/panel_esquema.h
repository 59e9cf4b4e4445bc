#pragma once
// The open database's tables and fields beside the box where one types SQL: names and
// declared types, keys marked, the dictionary's names as a tooltip. A double-click types the
// name into the box, between brackets when it needs them. It folds away to its title.

#include <QWidget>

class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace veliora {
struct VistaEsquema;
}

namespace veliora::ui {

class PanelEsquema : public QWidget {
    Q_OBJECT
  public:
    explicit PanelEsquema(QWidget* parent = nullptr);

    void Cargar(const VistaEsquema& vista);
    void CargarTextos();
    bool Abierto() const;
    void Abrir(bool abierto);
    QTreeWidget* Arbol() const { return arbol_; }

    QSize sizeHint() const override;

  signals:
    // The name to type, bracketed when it needs it.
    void nombreElegido(const QString& nombre);
    void abiertoCambiado(bool abierto);

  private:
    void Elegir(QTreeWidgetItem* item);

    QToolButton* cmdEsquema_;
    QTreeWidget* arbol_;
};

}  // namespace veliora::ui
