#include "draw/diagrama_dibujo.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <cerrno>
#include <cmath>

#include "core/shell/salidas.h"

namespace veliora::dibujo {

using namespace veliora::diagrama;

namespace {

// Fixed colours: the picture looks the same whatever the desktop's theme.
const QColor kFondo(Qt::white);
const QColor kCabecera(0xdf, 0xe7, 0xf1);
const QColor kBorde(0x4a, 0x5a, 0x6a);
const QColor kTexto(0x1b, 0x1b, 0x1b);
const QColor kTextoSuave(0x6b, 0x7b, 0x8b);
const QColor kClave(0xa0, 0x70, 0x00);
const QColor kLinea(0x2f, 0x5d, 0x8a);
const QColor kResaltado(0xd3, 0x54, 0x00);
const QColor kSeleccion(0x38, 0x75, 0xd7);
const QColor kBarra(0xc4, 0xcd, 0xd6);

constexpr int kPadding = 4;     // pixels left of a line's text
constexpr int kAnchoBarra = 6;  // the scroll bar
constexpr int kPataGallo = 10;  // length of the "many" mark along the line
constexpr int kAperturaGallo = 6;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The text of one line of a box, its key tag at the right.
void PintarLinea(QPainter& p, const QRect& fila, const QString& texto, const QString& etiqueta,
                 bool negrita, const QColor& color) {
    QFont letra = FuenteDiagrama();
    int reserva = 0;
    if (!etiqueta.isEmpty()) {
        QFont pequena = letra;
        pequena.setPixelSize(std::max(8, letra.pixelSize() - 3));
        pequena.setBold(true);
        p.setFont(pequena);
        p.setPen(etiqueta == QLatin1String("PK") ? kClave : kTextoSuave);
        reserva = QFontMetrics(pequena).horizontalAdvance(etiqueta) + kPadding;
        p.drawText(fila.adjusted(0, 0, -kPadding, 0), Qt::AlignVCenter | Qt::AlignRight, etiqueta);
    }
    letra.setBold(negrita);
    p.setFont(letra);
    p.setPen(color);
    const QRect zona = fila.adjusted(kPadding, 0, -reserva - kPadding, 0);
    p.drawText(zona, Qt::AlignVCenter | Qt::AlignLeft,
               QFontMetrics(letra).elidedText(texto, Qt::ElideRight, zona.width()));
}

QString Etiqueta(const CampoVista& c) {
    if (c.Clave)
        return QStringLiteral("PK");
    return c.Ajena ? QStringLiteral("FK") : QString();
}

}  // namespace

int Px(int twips) {
    return int(std::lround(double(twips) / kTwipsPorPixel));
}

QRect Rect(const Caja& c, Punto o) {
    const int left = Px(c.Left) - Px(o.X), top = Px(c.Top) - Px(o.Y);
    return {left, top, Px(c.Right()) - Px(o.X) - left, Px(c.Bottom()) - Px(o.Y) - top};
}

QFont FuenteDiagrama() {
    QFont letra = QGuiApplication::font();
    letra.setPixelSize(12);
    return letra;
}

Letra MedidasLetra() {
    const QFontMetrics m(FuenteDiagrama());
    return {(m.height() + 4) * kTwipsPorPixel, 5 * kTwipsPorPixel, 3 * kTwipsPorPixel};
}

Caja TamanoEtiqueta(const QString& nombre) {
    const QFontMetrics m(FuenteDiagrama());
    return {0, 0, (m.horizontalAdvance(nombre) + 2 * kPadding + 2) * kTwipsPorPixel,
            (m.height() + 4) * kTwipsPorPixel};
}

Dibujo Disponer(const VistaEsquema& vista, const std::vector<Caja>& cajas) {
    std::vector<TablaDiagrama> tablas;
    for (std::size_t k = 0; k < vista.Tablas.size() && k < cajas.size(); ++k)
        tablas.push_back({cajas[k], int(vista.Tablas[k].Campos.size())});
    std::vector<RelacionDiagrama> relaciones;
    for (const RelacionVista& r : vista.Relaciones) {
        const Caja t = TamanoEtiqueta(Q(r.Nombre));
        relaciones.push_back({r.Origen, r.Destino, t.Width, t.Height});
    }
    return diagrama::Disponer(tablas, relaciones, MedidasLetra());
}

void PintarCaja(QPainter& p, const TablaVista& tabla, const CajaDibujada& caja, int primerCampo,
                int seleccionada) {
    const Letra letra = MedidasLetra();
    const int w = Px(caja.caja.Width), h = Px(caja.caja.Height);
    const int margen = Px(letra.margen), alto = Px(letra.altoLinea);
    const int separador = Px(letra.altoSeparador);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, w, h), kFondo);
    p.fillRect(QRect(0, 0, w, margen + alto + separador / 2), kCabecera);
    const QRect nombre(0, margen, w, alto);
    if (seleccionada == 0)
        p.fillRect(nombre.adjusted(1, 0, -1, 0), kSeleccion);
    PintarLinea(p, nombre, Q(tabla.Nombre), {}, true, seleccionada == 0 ? kFondo : kTexto);
    const int arriba = margen + alto + separador;
    p.setPen(kBorde);
    p.drawLine(0, margen + alto + separador / 2, w, margen + alto + separador / 2);
    const int anchoTexto = caja.desplazable ? w - kAnchoBarra - 2 : w;
    for (int j = 0; j < caja.camposVisibles; ++j) {
        const int campo = primerCampo + j;
        if (campo >= int(tabla.Campos.size()))
            break;
        const CampoVista& c = tabla.Campos[std::size_t(campo)];
        const QRect fila(0, arriba + j * alto, anchoTexto, alto);
        const bool marcada = seleccionada == campo + 2;
        if (marcada)
            p.fillRect(fila.adjusted(1, 0, 0, 0), kSeleccion);
        PintarLinea(p, fila, Q(c.Nombre), Etiqueta(c), c.Clave, marcada ? kFondo : kTexto);
    }
    if (caja.desplazable && caja.campos > 0) {
        const int zona = caja.camposVisibles * alto;
        const int pulgar = std::max(8, zona * caja.camposVisibles / caja.campos);
        const int desde =
            arriba + (zona - pulgar) * primerCampo / std::max(1, caja.campos - caja.camposVisibles);
        p.fillRect(QRect(w - kAnchoBarra - 1, arriba, kAnchoBarra, zona), kCabecera);
        p.fillRect(QRect(w - kAnchoBarra - 1, desde, kAnchoBarra, pulgar), kBarra.darker(130));
    }
    p.setPen(QPen(kBorde, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 0, w - 1, h - 1));
    p.restore();
}

QPainterPath Camino(const Trazo& c, Punto o) {
    const auto punto = [&](const Punto& p) {
        return QPointF(Px(p.X) - Px(o.X), Px(p.Y) - Px(o.Y));
    };
    QPainterPath camino;
    if (c.bucle) {
        camino.addEllipse(Rect(*Bucle({c.p0.X, c.p0.Y, c.p0.X, c.p0.Y}), o));
        return camino;
    }
    camino.moveTo(punto(c.p0));
    camino.cubicTo(punto(c.c1), punto(c.c2), punto(c.p3));
    return camino;
}

void PintarRelacion(QPainter& p, const Trazo& c, bool muchos, bool resaltada, Punto o) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(
        QPen(resaltada ? kResaltado : kLinea, resaltada ? 2.5 : 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(Camino(c, o));
    if (!c.bucle) {
        const auto punto = [&](const Punto& x) {
            return QPointF(Px(x.X) - Px(o.X), Px(x.Y) - Px(o.Y));
        };
        const auto unitario = [](QPointF d) {
            const double largo = std::hypot(d.x(), d.y());
            return largo < 1e-9 ? QPointF(0, -1) : d / largo;
        };
        // The primary ("one") end: a bar across the path where it leaves the box.
        const QPointF a = punto(c.p0), u0 = unitario(punto(c.c1) - a);
        const QPointF barra = a + u0 * 7, n0(-u0.y(), u0.x());
        p.drawLine(barra + n0 * 5, barra - n0 * 5);
        // The related end: a crow's foot opening onto the box, or a second bar.
        const QPointF b = punto(c.p3), u = unitario(punto(c.c2) - b), n(-u.y(), u.x());
        const QPointF base = b + u * kPataGallo;
        if (muchos) {
            p.drawLine(base, b + n * kAperturaGallo);
            p.drawLine(base, b - n * kAperturaGallo);
        } else {
            p.drawLine(base + n * 5, base - n * 5);
        }
    }
    p.restore();
}

void PintarEtiqueta(QPainter& p, const QRect& r, const QString& nombre, bool resaltada) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(resaltada ? kResaltado : kBarra, 1));
    p.setBrush(kFondo);
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    p.setFont(FuenteDiagrama());
    p.setPen(resaltada ? kResaltado : kLinea);
    p.drawText(r, Qt::AlignCenter, nombre);
    p.restore();
}

QSize TamanoImagen(const Dibujo& dibujo) {
    return Rect(Limites(dibujo)).size();
}

void DibujarImagen(QPainter& p, const VistaEsquema& vista, const Dibujo& dibujo) {
    const Caja limites = Limites(dibujo);
    const Punto o{limites.Left, limites.Top};
    p.fillRect(QRect(QPoint(0, 0), TamanoImagen(dibujo)), kFondo);
    for (std::size_t i = 0; i < dibujo.relaciones.size() && i < vista.Relaciones.size(); ++i)
        if (dibujo.relaciones[i].dibujada)
            PintarRelacion(p, dibujo.relaciones[i].trazo, vista.Relaciones[i].Muchos, false, o);
    for (std::size_t k = 0; k < dibujo.cajas.size() && k < vista.Tablas.size(); ++k) {
        p.save();
        p.translate(Rect(dibujo.cajas[k].caja, o).topLeft());
        PintarCaja(p, vista.Tablas[k], dibujo.cajas[k], 0, -1);
        p.restore();
    }
    for (std::size_t i = 0; i < dibujo.relaciones.size() && i < vista.Relaciones.size(); ++i)
        if (const auto& e = dibujo.relaciones[i].etiqueta)
            PintarEtiqueta(p, Rect(*e, o), Q(vista.Relaciones[i].Nombre), false);
}

bool GuardarImagen(const QString& ruta, const VistaEsquema& vista, const Dibujo& dibujo,
                   engine::Error& error) {
    error.clear();
    // Painted in memory first: the destination is checked and written as every file the
    // user chooses (never a database or a link, through a temporary file renamed at the end).
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize tamano = TamanoImagen(dibujo);
    bool pintado = false;
    if (QFileInfo(ruta).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(tamano);
        svg.setViewBox(QRect(QPoint(0, 0), tamano));
        svg.setTitle(QFileInfo(ruta).completeBaseName());
        QPainter p;
        if (p.begin(&svg)) {
            DibujarImagen(p, vista, dibujo);
            pintado = p.end();
        }
    } else {
        QImage imagen(tamano, QImage::Format_ARGB32);
        QPainter p(&imagen);
        p.setRenderHint(QPainter::TextAntialiasing);
        DibujarImagen(p, vista, dibujo);
        p.end();
        pintado = imagen.save(&buffer, "PNG");
    }
    if (!pintado) {
        error = engine::SystemFailure(EIO, buffer.errorString().toStdString());
        return false;
    }
    return EscribirSalida(ruta.toStdString(),
                          std::string_view(bytes.constData(), std::size_t(bytes.size())), error);
}

}  // namespace veliora::dibujo
