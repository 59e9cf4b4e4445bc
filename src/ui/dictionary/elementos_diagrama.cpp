#include "ui/dictionary/elementos_diagrama.h"

#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSceneWheelEvent>
#include <QPainter>
#include <QPainterPathStroker>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "draw/diagrama_dibujo.h"

namespace veliora::ui {

using namespace veliora::diagrama;
using dibujo::Px;

namespace {
constexpr double kEscalaMinima = 0.1, kEscalaMaxima = 8.0;
constexpr int kAnchoBarra = 8;  // pixels at the right of a scrolling box that scroll it

// The measures of a box's lines in pixels.
struct Medidas {
    int margen, alto, separador;
    int Arriba() const { return margen + alto + separador; }
};
Medidas MedidasPx() {
    const Letra l = dibujo::MedidasLetra();
    return {Px(l.margen), Px(l.altoLinea), Px(l.altoSeparador)};
}
}  // namespace

// ---------------------------------------------------------------- table box

CajaTablaDiagrama::CajaTablaDiagrama(int k, const TablaVista& tabla) : k_(k), tabla_(tabla) {
    setObjectName(QStringLiteral("lstTablas%1").arg(k));
    lineas_ << QString::fromStdString(tabla.Nombre) << QString();
    for (const CampoVista& c : tabla.Campos) lineas_ << QString::fromStdString(c.Nombre);
    caja_.Width = kAnchoPlantilla;
    caja_.Height = kAltoPlantilla;
    dibujada_ = DimensionarCaja({caja_, int(tabla.Campos.size())}, dibujo::MedidasLetra());
    setZValue(1);
    setAcceptedMouseButtons(Qt::AllButtons);
    setAcceptHoverEvents(true);
}

void CajaTablaDiagrama::ColocarEn(int left, int top) {
    caja_.Left = left;
    caja_.Top = top;
    dibujada_.caja.Left = left;
    dibujada_.caja.Top = top;
    setPos(Px(left), Px(top));
}

void CajaTablaDiagrama::FijarDibujada(const CajaDibujada& dibujada) {
    if (!(dibujada.caja == dibujada_.caja))
        prepareGeometryChange();
    dibujada_ = dibujada;
    primerCampo_ =
        std::clamp(primerCampo_, 0, std::max(0, dibujada.campos - dibujada.camposVisibles));
    update();
}

void CajaTablaDiagrama::Desplazar(int primerCampo) {
    const int tope = std::max(0, dibujada_.campos - dibujada_.camposVisibles);
    const int nuevo = std::clamp(primerCampo, 0, tope);
    if (nuevo != primerCampo_) {
        primerCampo_ = nuevo;
        update();
    }
}

int CajaTablaDiagrama::LineaEn(double y) const {
    const Medidas m = MedidasPx();
    if (y < m.margen)
        return -1;
    if (y < m.margen + m.alto)
        return 0;
    if (y < m.Arriba())
        return 1;
    const int fila = int((y - m.Arriba()) / std::max(1, m.alto));
    const int campo = primerCampo_ + fila;
    return fila < dibujada_.camposVisibles && campo < dibujada_.campos ? campo + 2 : -1;
}

bool CajaTablaDiagrama::EnBarra(QPointF p) const {
    return dibujada_.desplazable && p.x() >= Px(dibujada_.caja.Width) - kAnchoBarra &&
           p.y() >= MedidasPx().Arriba();
}

void CajaTablaDiagrama::DesplazarA(double y) {
    const Medidas m = MedidasPx();
    const double zona = std::max(1, dibujada_.camposVisibles * m.alto);
    const double fraccion = std::clamp((y - m.Arriba()) / zona, 0.0, 1.0);
    Desplazar(int(std::lround(fraccion * (dibujada_.campos - dibujada_.camposVisibles))));
}

QPointF CajaTablaDiagrama::CentroLinea(int linea) const {
    const Medidas m = MedidasPx();
    const double x = Px(dibujada_.caja.Width) / 2.0 - (dibujada_.desplazable ? kAnchoBarra : 0);
    if (linea == 0)
        return {x, m.margen + m.alto / 2.0};
    if (linea == 1)
        return {x, m.margen + m.alto + m.separador / 2.0};
    return {x, m.Arriba() + (linea - 2 - primerCampo_ + 0.5) * m.alto};
}

QRectF CajaTablaDiagrama::boundingRect() const {
    return {0, 0, double(Px(dibujada_.caja.Width)), double(Px(dibujada_.caja.Height))};
}

void CajaTablaDiagrama::paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) {
    dibujo::PintarCaja(*p, tabla_, dibujada_, primerCampo_, seleccionada_);
}

void CajaTablaDiagrama::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    x0_ = ATwips(event->pos().x());
    y0_ = ATwips(event->pos().y());
    // The corner one grabs is that of the box as drawn.
    redimensionando_ = EnEsquina(dibujada_.caja, x0_, y0_);
    desplazando_ = !redimensionando_ && EnBarra(event->pos());
    if (redimensionando_) {
        caja_.Height = dibujada_.caja.Height;
        setCursor(Qt::SizeFDiagCursor);
    } else if (desplazando_) {
        DesplazarA(event->pos().y());
    } else if (const int linea = LineaEn(event->pos().y());
               linea >= 0 && event->button() == Qt::LeftButton) {
        if (linea != 1)
            seleccionada_ = linea;
        update();
        emit lineaPulsada(k_, linea);
    }
    event->accept();
}

void CajaTablaDiagrama::mouseMoveEvent(QGraphicsSceneMouseEvent* event) {
    if (event->buttons() != Qt::LeftButton)
        return;
    if (desplazando_) {
        DesplazarA(event->pos().y());
        return;
    }
    const int x = ATwips(event->pos().x()), y = ATwips(event->pos().y());
    if (redimensionando_) {
        const Caja estirada = Estirar(caja_, x - x0_, y - y0_, kEsquinaAncho, 2 * kEsquinaAlto);
        if (!(estirada == caja_)) {
            caja_ = estirada;
            emit movida(k_);  // the window sizes it again
        }
        x0_ = x;
        y0_ = y;
        return;
    }
    // The box follows the pointer: the grabbed point (x0, y0) stays under it.
    const QRectF area = scene() ? scene()->sceneRect() : QRectF();
    const Punto p =
        Mover(dibujada_.caja, x - x0_, y - y0_, ATwips(area.right()), ATwips(area.bottom()));
    ColocarEn(p.X, p.Y);
    setCursor(Qt::SizeAllCursor);
    emit movida(k_);
}

void CajaTablaDiagrama::mouseReleaseEvent(QGraphicsSceneMouseEvent* event) {
    unsetCursor();
    redimensionando_ = false;
    desplazando_ = false;
    event->accept();
    emit soltada(k_);
}

void CajaTablaDiagrama::wheelEvent(QGraphicsSceneWheelEvent* event) {
    // The wheel scrolls a box whose fields do not fit; with Ctrl it zooms the view.
    if (!dibujada_.desplazable || (event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    Desplazar(primerCampo_ - event->delta() / 120);
    event->accept();
}

void CajaTablaDiagrama::hoverMoveEvent(QGraphicsSceneHoverEvent* event) {
    // The whole name and type of the field under the pointer: long ones are cut in the box.
    const int linea = LineaEn(event->pos().y());
    QString texto;
    if (linea == 0)
        texto = lineas_.front();
    else if (linea >= 2) {
        const CampoVista& c = tabla_.Campos[std::size_t(linea - 2)];
        texto = QString::fromStdString(c.Nombre);
        if (!c.Tipo.empty())
            texto += QStringLiteral(" · ") + QString::fromStdString(c.Tipo);
    }
    setToolTip(texto);
}

// ---------------------------------------------------------------- relation path

ElementoRelacion::ElementoRelacion(int i) : i_(i) {
    setAcceptHoverEvents(true);
    setCursor(Qt::PointingHandCursor);
}

void ElementoRelacion::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    event->accept();
    emit pulsada(i_);
}

void ElementoRelacion::hoverEnterEvent(QGraphicsSceneHoverEvent*) {
    emit senalada(i_, true);
}

void ElementoRelacion::hoverLeaveEvent(QGraphicsSceneHoverEvent*) {
    emit senalada(i_, false);
}

LineaDiagrama::LineaDiagrama(int i, const QString& relacion, bool muchos)
    : ElementoRelacion(i), muchos_(muchos) {
    setObjectName(QStringLiteral("LineRel%1").arg(i));
    setZValue(0);
    setToolTip(relacion);
}

void LineaDiagrama::FijarTrazo(const Linea& linea, const Trazo& trazo) {
    prepareGeometryChange();
    linea_ = linea;
    trazo_ = trazo;
}

void LineaDiagrama::Resaltar(bool resaltada) {
    resaltada_ = resaltada;
    setZValue(resaltada ? 3 : 0);
    update();
}

QPainterPath LineaDiagrama::shape() const {
    QPainterPathStroker trazo;
    trazo.setWidth(10);
    return trazo.createStroke(dibujo::Camino(trazo_));
}

QRectF LineaDiagrama::boundingRect() const {
    return dibujo::Camino(trazo_).boundingRect().adjusted(-14, -14, 14, 14);
}

void LineaDiagrama::paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) {
    dibujo::PintarRelacion(*p, trazo_, muchos_, resaltada_);
}

// ---------------------------------------------------------------- relation label

EtiquetaDiagrama::EtiquetaDiagrama(int i, const QString& relacion)
    : ElementoRelacion(i), texto_(relacion) {
    setObjectName(QStringLiteral("LabelRel%1").arg(i));
    setZValue(2);
    tamano_ = dibujo::Rect(dibujo::TamanoEtiqueta(relacion)).size();
}

void EtiquetaDiagrama::Colocar(const std::optional<Caja>& lugar) {
    setVisible(lugar.has_value());
    if (!lugar)
        return;
    const QRect r = dibujo::Rect(*lugar);
    if (r.size() != tamano_) {
        prepareGeometryChange();
        tamano_ = r.size();
    }
    setPos(r.topLeft());
}

void EtiquetaDiagrama::Resaltar(bool resaltada) {
    resaltada_ = resaltada;
    update();
}

QRectF EtiquetaDiagrama::boundingRect() const {
    return {QPointF(0, 0), tamano_};
}

void EtiquetaDiagrama::paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) {
    dibujo::PintarEtiqueta(*p, boundingRect().toRect(), texto_, resaltada_);
}

// ---------------------------------------------------------------- view

VistaDiagrama::VistaDiagrama(QWidget* parent) : QGraphicsView(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setRenderHint(QPainter::Antialiasing, true);
    setRenderHint(QPainter::TextAntialiasing, true);
    setBackgroundBrush(Qt::white);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
}

void VistaDiagrama::Ajustar() {
    if (!scene())
        return;
    const QRectF todo = scene()->itemsBoundingRect();
    if (!todo.isEmpty())
        fitInView(todo.adjusted(-6, -6, 6, 6), Qt::KeepAspectRatio);
}

void VistaDiagrama::Zoom(double factor) {
    const double actual = transform().m11();
    const double nueva =
        factor == 0 ? 1.0 : std::clamp(actual * factor, kEscalaMinima, kEscalaMaxima);
    const auto ancla = transformationAnchor();
    setTransformationAnchor(QGraphicsView::AnchorViewCenter);
    scale(nueva / actual, nueva / actual);
    setTransformationAnchor(ancla);
}

void VistaDiagrama::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QGraphicsView::wheelEvent(event);
        return;
    }
    const double actual = transform().m11();
    const double factor = std::clamp(actual * std::pow(1.0015, event->angleDelta().y()),
                                     kEscalaMinima, kEscalaMaxima) /
                          actual;
    scale(factor, factor);
    event->accept();
}

void VistaDiagrama::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    emit redimensionada();
}

}  // namespace veliora::ui
