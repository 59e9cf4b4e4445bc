#include "core/dictionary/diagrama.h"

#include <algorithm>

namespace veliora::diagrama {

std::vector<Punto> ColocarTablas(const std::vector<std::optional<Punto>>& guardadas,
                                 int anchoDiagrama) {
    std::vector<Punto> lugares;
    lugares.reserve(guardadas.size());
    Punto libre{0, 0};
    for (const auto& guardada : guardadas) {
        if (guardada) {
            lugares.push_back(*guardada);
            continue;
        }
        lugares.push_back(libre);
        const int izquierda = libre.X;
        libre.X += kAnchoPlantilla + kSeparacion;
        if (izquierda + kAnchoPlantilla > anchoDiagrama) {
            libre.X = kSeparacion;
            libre.Y += kAltoPlantilla + kSeparacion;
        }
    }
    return lugares;
}

Linea LineaRelacion(const Caja& o, const Caja& d) {
    // Compared in single precision, as positions of the drawing surface are.
    const float rO = float(o.Right()), rD = float(d.Right());
    if (rO < float(d.Left))  // d wholly to the right
        return {o.Right(), o.Top, d.Left, d.Top};
    if (rD > rO)
        return {o.Right(), o.Top, d.Left + o.Width, d.Top};
    if (rD > float(o.Left))
        return {o.Left, o.Top, d.Left, d.Top};
    return {o.Left, o.Top, d.Left + o.Width, d.Top};  // d wholly to the left
}

Punto PosicionEtiqueta(const Linea& l, int ancho, int alto) {
    return {l.X1 + (l.X2 - l.X1) / 2 - ancho / 2, l.Y1 + (l.Y2 - l.Y1) / 2 - alto / 2};
}

Punto Mover(const Caja& caja, int dx, int dy, int anchoDiagrama, int altoDiagrama) {
    int left = caja.Left + dx, top = caja.Top + dy;
    left = std::max(0, std::min(left, anchoDiagrama - caja.Width));
    top = std::max(0, std::min(top, altoDiagrama - caja.Height));
    return {left, top};
}

bool EnEsquina(const Caja& caja, int x, int y) {
    return x > caja.Width - kEsquinaAncho && y > caja.Height - kEsquinaAlto;
}

Caja Estirar(const Caja& caja, int dx, int dy, int anchoMinimo, int altoMinimo) {
    Caja c = caja;
    c.Width += dx;
    c.Height += dy;
    if (c.Width < anchoMinimo || c.Height < altoMinimo)
        return caja;
    return c;
}

}  // namespace veliora::diagrama
