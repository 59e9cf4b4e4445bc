#pragma once
// Geometry of the dictionary diagram, in twips from the diagram's top left corner: the
// automatic placement of table boxes, the line of a relation, dragging and stretching.
// Stored positions (Tablas.PosX/PosY) use the same unit.

#include <cstdint>
#include <optional>
#include <vector>

namespace veliora::diagrama {

inline constexpr int kTwipsPorPixel = 15;
inline constexpr int kAnchoPlantilla = 2550;  // a new table box
inline constexpr int kAltoPlantilla = 1980;
inline constexpr int kSeparacion = 90;  // gap between automatically placed boxes
// Pressing this close to a box's right and bottom edges stretches it instead of moving it.
inline constexpr int kEsquinaAncho = 480;
inline constexpr int kEsquinaAlto = 180;

struct Punto {
    int X = 0;
    int Y = 0;
    bool operator==(const Punto&) const = default;
};

struct Caja {
    int Left = 0;
    int Top = 0;
    int Width = kAnchoPlantilla;
    int Height = kAltoPlantilla;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool operator==(const Caja&) const = default;
};

struct Linea {
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool operator==(const Linea&) const = default;
};

// Places the boxes of the tables in order: a table with a stored position stands there;
// the others take the next free place of rows filled from the left, each box the template
// size plus the gap further on. A box that crosses `anchoDiagrama` stays; the next one
// starts a new row at the gap's distance from the left edge.
std::vector<Punto> ColocarTablas(const std::vector<std::optional<Punto>>& guardadas,
                                 int anchoDiagrama);

// The line of a relation joins the top edges of its primary box `o` and related box `d`.
Linea LineaRelacion(const Caja& o, const Caja& d);
// Top left corner of a label of that size centred on the line's middle.
Punto PosicionEtiqueta(const Linea& linea, int ancho, int alto);

// Where a box dragged by (dx, dy) stops: kept wholly inside the diagram when it fits, at
// its left or top edge otherwise, so that no position is ever negative.
Punto Mover(const Caja& caja, int dx, int dy, int anchoDiagrama, int altoDiagrama);
// Whether a press at (x, y), in the box's own coordinates, grabs its stretching corner.
bool EnEsquina(const Caja& caja, int x, int y);
// The box stretched by (dx, dy); unchanged when the size would fall below the minimum.
Caja Estirar(const Caja& caja, int dx, int dy, int anchoMinimo, int altoMinimo);

inline int APixeles(int twips) {
    return twips / kTwipsPorPixel;
}
inline int ATwips(double pixeles) {
    return int(pixeles * kTwipsPorPixel + (pixeles < 0 ? -0.5 : 0.5));
}

}  // namespace veliora::diagrama
