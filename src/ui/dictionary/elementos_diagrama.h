#pragma once
// The pieces of the dictionary diagram: a box per table (its name, a separator and its
// fields), a line and a name label per relation, and the view that zooms. Geometry is kept
// in twips (core/dictionary/diagrama.h); the scene works in pixels, 15 twips each.

#include <QGraphicsObject>
#include <QGraphicsView>
#include <QStringList>

#include "core/dictionary/diagrama.h"

namespace veliora::ui {

class CajaTablaDiagrama : public QGraphicsObject {
    Q_OBJECT
  public:
    // `k`: position of the table in the window's schema model (from 1). `lineas`: the
    // table's name, then its field names.
    CajaTablaDiagrama(int k, const QString& tabla, const QStringList& campos);

    int Indice() const { return k_; }
    const QString& NombreTabla() const { return lineas_.front(); }
    // Line 0 is the table's name, line 1 the separator, then one line per field.
    const QStringList& Lineas() const { return lineas_; }
    int LineaSeleccionada() const { return seleccionada_; }
    const diagrama::Caja& Geometria() const { return caja_; }
    void ColocarEn(int left, int top);
    // Centre of line `linea` in the box's own coordinates (pixels).
    QPointF CentroLinea(int linea) const;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  signals:
    void lineaPulsada(int k, int linea);
    void movida(int k);
    void soltada(int k);

  protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

  private:
    int AltoLinea() const;
    int LineaEn(double y) const;

    int k_;
    QStringList lineas_;
    diagrama::Caja caja_;
    int seleccionada_ = 0;
    int x0_ = 0, y0_ = 0;  // twips, where the last press grabbed the box
    bool redimensionando_ = false;
};

class LineaDiagrama : public QGraphicsObject {
    Q_OBJECT
  public:
    explicit LineaDiagrama(int i);
    const diagrama::Linea& Extremos() const { return linea_; }
    void FijarExtremos(const diagrama::Linea& linea);
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  private:
    diagrama::Linea linea_;
};

class EtiquetaDiagrama : public QGraphicsObject {
    Q_OBJECT
  public:
    EtiquetaDiagrama(int i, const QString& relacion);
    int Indice() const { return i_; }
    const QString& Texto() const { return texto_; }
    // Size in twips, for centring on its line.
    int AnchoTwips() const;
    int AltoTwips() const;
    void ColocarEn(const diagrama::Punto& twips);
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  signals:
    void pulsada(int i);

  protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

  private:
    int i_;
    QString texto_;
};

// The drawing box: Ctrl + wheel zooms; it reports its own resizes so that the diagram's
// area follows the window.
class VistaDiagrama : public QGraphicsView {
    Q_OBJECT
  public:
    explicit VistaDiagrama(QWidget* parent = nullptr);
    // The whole diagram in view.
    void Ajustar();

  signals:
    void redimensionada();

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace veliora::ui
