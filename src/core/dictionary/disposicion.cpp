#include "core/dictionary/disposicion.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veliora::diagrama {

namespace {

// Boxes keep a thin margin free around them, so that a label never touches a border.
constexpr int kAireCaja = 30;

Caja Inflada(const Caja& c, int d) {
    return {c.Left - d, c.Top - d, c.Width + 2 * d, c.Height + 2 * d};
}

Caja Union(const Caja& a, const Caja& b) {
    const int left = std::min(a.Left, b.Left), top = std::min(a.Top, b.Top);
    return {left, top, std::max(a.Right(), b.Right()) - left,
            std::max(a.Bottom(), b.Bottom()) - top};
}

Caja CajaDeLinea(const Linea& l) {
    return {std::min(l.X1, l.X2), std::min(l.Y1, l.Y2), std::abs(l.X2 - l.X1),
            std::abs(l.Y2 - l.Y1)};
}

// The rectangle of size (w, h) on the side `n` (a unit vector) of point (px, py): the corner
// nearest the point kHolguraEtiqueta away from it along n, so that a straight line through
// the point at right angles to n leaves the whole rectangle on one side. Along a direction
// that n hardly follows, the rectangle is centred instead.
Caja AlLado(double px, double py, double nx, double ny, int w, int h) {
    const auto lado = [](double v) { return std::abs(v) < 0.2 ? 0.0 : (v < 0 ? -1.0 : 1.0); };
    const double cx = px + nx * kHolguraEtiqueta + lado(nx) * w / 2;
    const double cy = py + ny * kHolguraEtiqueta + lado(ny) * h / 2;
    return {int(std::lround(cx - w / 2.0)), int(std::lround(cy - h / 2.0)), w, h};
}

struct PuntoReal {
    double x = 0, y = 0;
};

PuntoReal EnCurva(const Trazo& c, double t) {
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, d = 3 * u * t * t, e = t * t * t;
    return {a * c.p0.X + b * c.c1.X + d * c.c2.X + e * c.p3.X,
            a * c.p0.Y + b * c.c1.Y + d * c.c2.Y + e * c.p3.Y};
}

PuntoReal Tangente(const Trazo& c, double t) {
    const double u = 1 - t;
    const double a = 3 * u * u, b = 6 * u * t, d = 3 * t * t;
    return {a * (c.c1.X - c.p0.X) + b * (c.c2.X - c.c1.X) + d * (c.p3.X - c.c2.X),
            a * (c.c1.Y - c.p0.Y) + b * (c.c2.Y - c.c1.Y) + d * (c.p3.Y - c.c2.Y)};
}

constexpr int kTramos = 16;

// Places to try, best first: around the middle of the path, then towards its ends; on the
// side above (or right of a vertical stretch) first. A loop's point gets the eight directions
// around it.
std::vector<Caja> Candidatas(const Trazo& c, int w, int h) {
    std::vector<Caja> lugares;
    if (c.bucle) {
        const double r = 1 / std::sqrt(2.0);
        const double direcciones[][2] = {{0, -1}, {1, 0}, {0, 1},  {-1, 0},
                                         {r, -r}, {r, r}, {-r, r}, {-r, -r}};
        for (const auto& d : direcciones)
            lugares.push_back(AlLado(c.p0.X, c.p0.Y, d[0], d[1], w, h));
        return lugares;
    }
    for (const double t : {0.5, 0.4, 0.6, 0.3, 0.7, 0.2, 0.8, 0.1, 0.9}) {
        const PuntoReal p = EnCurva(c, t), d = Tangente(c, t);
        const double largo = std::hypot(d.x, d.y);
        if (largo < 1e-9)
            continue;
        double nx = -d.y / largo, ny = d.x / largo;
        if (ny > 0 || (ny == 0 && nx < 0)) {
            nx = -nx;
            ny = -ny;
        }
        lugares.push_back(AlLado(p.x, p.y, nx, ny, w, h));
        lugares.push_back(AlLado(p.x, p.y, -nx, -ny, w, h));
    }
    return lugares;
}

Caja CajaDeTramos(const std::vector<Linea>& tramos) {
    std::optional<Caja> todo;
    for (const Linea& l : tramos) todo = todo ? Union(*todo, CajaDeLinea(l)) : CajaDeLinea(l);
    return todo.value_or(Caja{0, 0, 0, 0});
}

}  // namespace

bool Solapan(const Caja& a, const Caja& b) {
    return a.Left < b.Right() && b.Left < a.Right() && a.Top < b.Bottom() && b.Top < a.Bottom();
}

bool Cruza(const Linea& l, const Caja& c) {
    // Liang-Barsky: clip the segment to the rectangle; it crosses when something is left
    // inside, not only a point of the border.
    double t0 = 0, t1 = 1;
    const double dx = l.X2 - l.X1, dy = l.Y2 - l.Y1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {double(l.X1 - c.Left), double(c.Right() - l.X1), double(l.Y1 - c.Top),
                        double(c.Bottom() - l.Y1)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] <= 0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 >= t1)
            return false;
    }
    return true;
}

CajaDibujada DimensionarCaja(const TablaDiagrama& tabla, const Letra& letra) {
    CajaDibujada d;
    d.caja = tabla.caja;
    d.campos = tabla.campos;
    const int cabecera = 2 * letra.margen + letra.altoLinea + letra.altoSeparador;
    const int altoLinea = std::max(1, letra.altoLinea);
    const int caben = std::max(0, (tabla.caja.Height - cabecera) / altoLinea);
    d.camposVisibles = std::min(tabla.campos, caben);
    d.desplazable = d.camposVisibles < tabla.campos;
    d.caja.Height = cabecera + d.camposVisibles * altoLinea;
    return d;
}

Trazo TrazoDe(const Linea& l, const Caja& o, const Caja& d, int repetida) {
    Trazo c{{l.X1, l.Y1}, {l.X1, l.Y1}, {l.X2, l.Y2}, {l.X2, l.Y2}, false};
    if (l.X1 == l.X2 && l.Y1 == l.Y2) {
        c.bucle = true;
        return c;
    }
    // Each end leaves its corner up and away from its box: left from a left corner.
    const int lado1 = l.X1 == o.Left ? -1 : 1, lado2 = l.X2 == d.Left ? -1 : 1;
    const int alzado =
        std::clamp(int(std::hypot(l.X2 - l.X1, l.Y2 - l.Y1) / 3), kAlzadoMinimo, kAlzadoMaximo) +
        repetida * kAlzadoRepetido;
    // Ends that turn towards each other go no further than a third of the way, so that the
    // curve never loops over itself.
    const int aparte =
        lado1 == lado2 ? alzado / 2 : std::min(alzado / 2, std::abs(l.X2 - l.X1) / 3);
    c.c1 = {l.X1 + lado1 * aparte, l.Y1 - alzado};
    c.c2 = {l.X2 + lado2 * aparte, l.Y2 - alzado};
    return c;
}

std::vector<Linea> Tramos(const Trazo& c) {
    std::vector<Linea> tramos;
    if (c.bucle)
        return {{c.p0.X, c.p0.Y, c.p0.X, c.p0.Y}};
    PuntoReal antes = EnCurva(c, 0);
    for (int i = 1; i <= kTramos; ++i) {
        const PuntoReal p = EnCurva(c, double(i) / kTramos);
        tramos.push_back({int(std::lround(antes.x)), int(std::lround(antes.y)),
                          int(std::lround(p.x)), int(std::lround(p.y))});
        antes = p;
    }
    return tramos;
}

std::optional<Caja> ColocarEtiqueta(const Trazo& trazo, int ancho, int alto,
                                    const std::vector<Caja>& ocupadas,
                                    const std::vector<Linea>& otros) {
    std::optional<Caja> mejor;
    int menosCruces = std::numeric_limits<int>::max();
    for (const Caja& lugar : Candidatas(trazo, ancho, alto)) {
        if (std::any_of(ocupadas.begin(), ocupadas.end(),
                        [&](const Caja& o) { return Solapan(lugar, o); }))
            continue;
        const int cruces = int(std::count_if(otros.begin(), otros.end(),
                                             [&](const Linea& o) { return Cruza(o, lugar); }));
        if (cruces < menosCruces) {
            mejor = lugar;
            menosCruces = cruces;
            if (cruces == 0)
                break;
        }
    }
    return mejor;
}

std::optional<Caja> Bucle(const Linea& l) {
    if (l.X1 != l.X2 || l.Y1 != l.Y2)
        return std::nullopt;
    return Caja{l.X1 - 2 * kRadioBucle, l.Y1 - 2 * kRadioBucle, 2 * kRadioBucle, 2 * kRadioBucle};
}

Dibujo Disponer(const std::vector<TablaDiagrama>& tablas,
                const std::vector<RelacionDiagrama>& relaciones, const Letra& letra) {
    Dibujo dibujo;
    std::vector<Caja> ocupadas;
    for (const TablaDiagrama& t : tablas) {
        dibujo.cajas.push_back(DimensionarCaja(t, letra));
        ocupadas.push_back(Inflada(dibujo.cajas.back().caja, kAireCaja));
    }
    const auto tieneCaja = [&](int i) { return i >= 0 && i < int(dibujo.cajas.size()); };
    std::vector<Linea> tramos;
    for (const RelacionDiagrama& r : relaciones) {
        RelacionDibujada d;
        d.dibujada = tieneCaja(r.origen) && tieneCaja(r.destino);
        if (d.dibujada) {
            const Caja& o = dibujo.cajas[std::size_t(r.origen)].caja;
            const Caja& t = dibujo.cajas[std::size_t(r.destino)].caja;
            d.linea = LineaRelacion(o, t);
            const int repetida = int(std::count_if(
                dibujo.relaciones.begin(), dibujo.relaciones.end(),
                [&](const RelacionDibujada& x) { return x.dibujada && x.linea == d.linea; }));
            d.trazo = TrazoDe(d.linea, o, t, repetida);
            for (const Linea& l : Tramos(d.trazo)) tramos.push_back(l);
            if (const auto bucle = Bucle(d.linea))
                ocupadas.push_back(*bucle);
        }
        dibujo.relaciones.push_back(d);
    }
    for (std::size_t i = 0; i < relaciones.size(); ++i) {
        RelacionDibujada& d = dibujo.relaciones[i];
        if (!d.dibujada)
            continue;
        d.etiqueta = ColocarEtiqueta(d.trazo, relaciones[i].anchoEtiqueta,
                                     relaciones[i].altoEtiqueta, ocupadas, tramos);
        if (d.etiqueta)
            ocupadas.push_back(Inflada(*d.etiqueta, kAireCaja));
    }
    return dibujo;
}

Caja Limites(const Dibujo& dibujo) {
    std::optional<Caja> todo;
    auto anadir = [&todo](const Caja& c) { todo = todo ? Union(*todo, c) : c; };
    for (const CajaDibujada& c : dibujo.cajas) anadir(c.caja);
    for (const RelacionDibujada& r : dibujo.relaciones) {
        if (!r.dibujada)
            continue;
        anadir(CajaDeTramos(Tramos(r.trazo)));
        if (const auto bucle = Bucle(r.linea))
            anadir(*bucle);
        if (r.etiqueta)
            anadir(*r.etiqueta);
    }
    return Inflada(todo.value_or(Caja{0, 0, 0, 0}), kMargenImagen);
}

}  // namespace veliora::diagrama
