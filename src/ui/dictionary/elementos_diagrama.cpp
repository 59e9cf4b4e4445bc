#include "ui/dictionary/elementos_diagrama.h"

#include <QFontMetrics>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace veliora::ui {

using namespace veliora::diagrama;

namespace {
constexpr double kMargen = 2.0;  // pixels between the border and the first line
constexpr double kEscalaMinima = 0.1, kEscalaMaxima = 8.0;

double Px(int twips) {
    return double(twips) / kTwipsPorPixel;
}
}  // namespace

// ---------------------------------------------------------------- table box

CajaTablaDiagrama::CajaTablaDiagrama(int k, const QString& tabla, const QStringList& campos)
    : k_(k) {
    setObjectName(QStringLiteral("lstTablas%1").arg(k));
    lineas_ << tabla << QString() << campos;
    setZValue(1);
    setAcceptedMouseButtons(Qt::AllButtons);
}

void CajaTablaDiagrama::ColocarEn(int left, int top) {
    caja_.Left = left;
    caja_.Top = top;
    setPos(Px(left), Px(top));
}

int CajaTablaDiagrama::AltoLinea() const {
    return QFontMetrics(QGuiApplication::font()).height();
}

int CajaTablaDiagrama::LineaEn(double y) const {
    if (y < kMargen)
        return -1;
    const int linea = int((y - kMargen) / AltoLinea());
    return linea < lineas_.size() ? linea : -1;
}

QPointF CajaTablaDiagrama::CentroLinea(int linea) const {
    return {Px(caja_.Width) / 2, kMargen + (linea + 0.5) * AltoLinea()};
}

QRectF CajaTablaDiagrama::boundingRect() const {
    return {0, 0, Px(caja_.Width), Px(caja_.Height)};
}

void CajaTablaDiagrama::paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) {
    const QRectF marco = boundingRect();
    const QPalette paleta = QGuiApplication::palette();
    p->setPen(QPen(paleta.color(QPalette::WindowText), 1));
    p->setBrush(paleta.color(QPalette::Base));
    p->drawRect(marco.adjusted(0.5, 0.5, -0.5, -0.5));
    p->save();
    p->setClipRect(marco.adjusted(1, 1, -1, -1));
    const int alto = AltoLinea();
    QFont letra = QGuiApplication::font();
    for (int i = 0; i < lineas_.size(); ++i) {
        const QRectF fila(kMargen, kMargen + i * alto, marco.width() - 2 * kMargen, alto);
        if (fila.top() > marco.bottom())
            break;
        if (i == 1) {
            p->setPen(paleta.color(QPalette::Mid));
            p->drawLine(QPointF(fila.left(), fila.center().y()),
                        QPointF(fila.right(), fila.center().y()));
            continue;
        }
        const bool marcada = i == seleccionada_;
        if (marcada)
            p->fillRect(fila, paleta.color(QPalette::Highlight));
        letra.setBold(i == 0);
        p->setFont(letra);
        p->setPen(paleta.color(marcada ? QPalette::HighlightedText : QPalette::Text));
        p->drawText(fila.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, lineas_[i]);
    }
    p->restore();
}

void CajaTablaDiagrama::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    x0_ = ATwips(event->pos().x());
    y0_ = ATwips(event->pos().y());
    redimensionando_ = EnEsquina(caja_, x0_, y0_);
    if (redimensionando_) {
        setCursor(Qt::SizeFDiagCursor);
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
    const int x = ATwips(event->pos().x()), y = ATwips(event->pos().y());
    if (redimensionando_) {
        const Caja estirada = Estirar(caja_, x - x0_, y - y0_, kEsquinaAncho, 2 * kEsquinaAlto);
        if (!(estirada == caja_)) {
            prepareGeometryChange();
            caja_ = estirada;
        }
        x0_ = x;
        y0_ = y;
        return;
    }
    // The box follows the pointer: the grabbed point (x0, y0) stays under it.
    const QRectF area = scene() ? scene()->sceneRect() : QRectF();
    const Punto p = Mover(caja_, x - x0_, y - y0_, ATwips(area.right()), ATwips(area.bottom()));
    ColocarEn(p.X, p.Y);
    setCursor(Qt::SizeAllCursor);
    emit movida(k_);
}

void CajaTablaDiagrama::mouseReleaseEvent(QGraphicsSceneMouseEvent* event) {
    unsetCursor();
    redimensionando_ = false;
    event->accept();
    emit soltada(k_);
}

// ---------------------------------------------------------------- relation line

LineaDiagrama::LineaDiagrama(int i) {
    setObjectName(QStringLiteral("LineRel%1").arg(i));
    setZValue(0);
}

void LineaDiagrama::FijarExtremos(const Linea& linea) {
    prepareGeometryChange();
    linea_ = linea;
}

QRectF LineaDiagrama::boundingRect() const {
    return QRectF(QPointF(Px(linea_.X1), Px(linea_.Y1)), QPointF(Px(linea_.X2), Px(linea_.Y2)))
        .normalized()
        .adjusted(-1, -1, 1, 1);
}

void LineaDiagrama::paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) {
    p->setPen(QPen(QGuiApplication::palette().color(QPalette::WindowText), 1));
    p->drawLine(QPointF(Px(linea_.X1), Px(linea_.Y1)), QPointF(Px(linea_.X2), Px(linea_.Y2)));
}

// ---------------------------------------------------------------- relation label

EtiquetaDiagrama::EtiquetaDiagrama(int i, const QString& relacion) : i_(i), texto_(relacion) {
    setObjectName(QStringLiteral("LabelRel%1").arg(i));
    setZValue(2);
    setCursor(Qt::PointingHandCursor);
}

int EtiquetaDiagrama::AnchoTwips() const {
    return ATwips(boundingRect().width());
}
int EtiquetaDiagrama::AltoTwips() const {
    return ATwips(boundingRect().height());
}

void EtiquetaDiagrama::ColocarEn(const Punto& twips) {
    setPos(Px(twips.X), Px(twips.Y));
}

QRectF EtiquetaDiagrama::boundingRect() const {
    const QFontMetrics m(QGuiApplication::font());
    return {0, 0, double(m.horizontalAdvance(texto_) + 6), double(m.height() + 2)};
}

void EtiquetaDiagrama::paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) {
    const QPalette paleta = QGuiApplication::palette();
    p->fillRect(boundingRect(), paleta.color(QPalette::Window));
    p->setPen(paleta.color(QPalette::WindowText));
    p->setFont(QGuiApplication::font());
    p->drawText(boundingRect(), Qt::AlignCenter, texto_);
}

void EtiquetaDiagrama::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    event->accept();
    emit pulsada(i_);
}

// ---------------------------------------------------------------- view

VistaDiagrama::VistaDiagrama(QWidget* parent) : QGraphicsView(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setRenderHint(QPainter::Antialiasing, false);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
}

void VistaDiagrama::Ajustar() {
    if (!scene())
        return;
    const QRectF todo = scene()->itemsBoundingRect();
    if (!todo.isEmpty())
        fitInView(todo.adjusted(-6, -6, 6, 6), Qt::KeepAspectRatio);
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
