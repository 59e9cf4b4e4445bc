#pragma once
// The pieces of the dictionary diagram: a box per table (its name, a rule and its fields,
// scrolling when they do not fit), a path and a name label per relation, and the view that
// zooms. Geometry is kept in twips (core/dictionary/disposicion.h); the scene works in
// pixels, 15 twips each, and everything is painted as the exported picture paints it
// (draw/diagrama_dibujo.h).

#include <QGraphicsObject>
#include <QGraphicsView>
#include <QStringList>

#include "core/dictionary/disposicion.h"
#include "core/dictionary/vista_esquema.h"

namespace veliora::ui {

class CajaTablaDiagrama : public QGraphicsObject {
    Q_OBJECT
  public:
    // `k`: position of the table in the window's schema model (from 1).
    CajaTablaDiagrama(int k, const TablaVista& tabla);

    int Indice() const { return k_; }
    const QString& NombreTabla() const { return lineas_.front(); }
    // Line 0 is the table's name, line 1 the rule, then one line per field.
    const QStringList& Lineas() const { return lineas_; }
    int LineaSeleccionada() const { return seleccionada_; }
    // Where the box stands and the most it may take (its stretched size).
    const diagrama::Caja& Geometria() const { return caja_; }
    // The box as drawn: as tall as its fields need, up to its most.
    const diagrama::CajaDibujada& Dibujada() const { return dibujada_; }
    void FijarDibujada(const diagrama::CajaDibujada& dibujada);
    void ColocarEn(int left, int top);
    // The first field shown (the box scrolls when its fields do not fit).
    int PrimerCampo() const { return primerCampo_; }
    void Desplazar(int primerCampo);
    // Centre of line `linea` in the box's own coordinates (pixels), as it stands now.
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
    void wheelEvent(QGraphicsSceneWheelEvent* event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override;

  private:
    int LineaEn(double y) const;
    bool EnBarra(QPointF p) const;
    void DesplazarA(double y);

    int k_;
    TablaVista tabla_;
    QStringList lineas_;
    diagrama::Caja caja_;
    diagrama::CajaDibujada dibujada_;
    int primerCampo_ = 0;
    int seleccionada_ = -1;  // none until a line is clicked
    int x0_ = 0, y0_ = 0;    // twips, where the last press grabbed the box
    bool redimensionando_ = false;
    bool desplazando_ = false;
};

// A relation's path or label: the pointer resting on it names the relation, and a click on
// it chooses the relation.
class ElementoRelacion : public QGraphicsObject {
    Q_OBJECT
  public:
    int Indice() const { return i_; }

  signals:
    void pulsada(int i);
    void senalada(int i, bool dentro);

  protected:
    explicit ElementoRelacion(int i);
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;

    int i_;
};

// A relation's path.
class LineaDiagrama : public ElementoRelacion {
    Q_OBJECT
  public:
    LineaDiagrama(int i, const QString& relacion, bool muchos);
    const diagrama::Linea& Extremos() const { return linea_; }
    void FijarTrazo(const diagrama::Linea& linea, const diagrama::Trazo& trazo);
    void Resaltar(bool resaltada);
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  private:
    bool muchos_;
    bool resaltada_ = false;
    diagrama::Linea linea_;
    diagrama::Trazo trazo_;
};

class EtiquetaDiagrama : public ElementoRelacion {
    Q_OBJECT
  public:
    EtiquetaDiagrama(int i, const QString& relacion);
    const QString& Texto() const { return texto_; }
    // Its place in twips; none hides it (its relation is named on hovering the path).
    void Colocar(const std::optional<diagrama::Caja>& lugar);
    void Resaltar(bool resaltada);
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  private:
    QString texto_;
    QSizeF tamano_;
    bool resaltada_ = false;
};

// The drawing box: Ctrl + wheel and the zoom buttons zoom; it reports its own resizes so that
// the diagram's area follows the window.
class VistaDiagrama : public QGraphicsView {
    Q_OBJECT
  public:
    explicit VistaDiagrama(QWidget* parent = nullptr);
    // The whole diagram in view.
    void Ajustar();
    // Zooms by `factor`, within the limits; 0 back to the real size.
    void Zoom(double factor);

  signals:
    void redimensionada();

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace veliora::ui
