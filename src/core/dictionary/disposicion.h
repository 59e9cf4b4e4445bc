#pragma once
// The diagram as it is drawn, by the window and in an exported picture alike: every box
// sized for its fields (scrolling when they do not fit), every relation's line and, where
// there is room, its name label beside the line, never over a box or another label. A
// label with no room is left out: its relation's name shows when the pointer rests on the
// line. Twips, like the rest of the diagram's geometry (diagrama.h).

#include <optional>
#include <vector>

#include "core/dictionary/diagrama.h"

namespace veliora::diagrama {

// Measures of the text of the boxes, in twips.
struct Letra {
    int altoLinea = 240;     // one line: the table's name or a field
    int altoSeparador = 90;  // the rule between the name and the fields
    int margen = 45;         // inside the border, above the first line and below the last
};

// A table's box before it is sized: where it stands, its width, and the most height it may
// take (the template's, or what the user stretched it to).
struct TablaDiagrama {
    Caja caja;
    int campos = 0;
};

// A relation between boxes `origen` (its primary table) and `destino` (its related table),
// indices into the tables; -1 when that table has no box. The label's size in twips.
struct RelacionDiagrama {
    int origen = -1;
    int destino = -1;
    int anchoEtiqueta = 0;
    int altoEtiqueta = 0;
};

struct CajaDibujada {
    Caja caja;
    int campos = 0;
    int camposVisibles = 0;  // whole lines only
    bool desplazable = false;
};

// The path drawn for a relation's line: a curve from one end to the other that leaves each
// box's top corner upwards and outwards, so that it stays visible beside the boxes instead of
// running along their edges. A line of no length (a table related to itself) is a loop.
struct Trazo {
    Punto p0, c1, c2, p3;  // a cubic curve: its ends and control points
    bool bucle = false;
};

struct RelacionDibujada {
    bool dibujada = false;  // false: a table of the relation has no box
    Linea linea;
    Trazo trazo;
    std::optional<Caja> etiqueta;  // none: shown on hover only
};

struct Dibujo {
    std::vector<CajaDibujada> cajas;
    std::vector<RelacionDibujada> relaciones;
};

// Distance between a label and its line.
inline constexpr int kHolguraEtiqueta = 45;
// A relation of a table with itself has a line of no length: a loop of this radius marks it,
// above and to the left of the point.
inline constexpr int kRadioBucle = 150;
// How far a path leaves its ends before it bends, and how much higher each repeated one arcs.
inline constexpr int kAlzadoMinimo = 300;
inline constexpr int kAlzadoMaximo = 1500;
inline constexpr int kAlzadoRepetido = 225;
// Margin of a picture around everything drawn.
inline constexpr int kMargenImagen = 90;
// Width over which tables are placed automatically where no window gives one (a diagram
// 1000 pixels wide).
inline constexpr int kAnchoDiagramaPredeterminado = 15000;

// The box at most as tall as its limit and no taller than its fields need.
CajaDibujada DimensionarCaja(const TablaDiagrama& tabla, const Letra& letra);

// The path of `linea`, the line of boxes `o` and `d`. `repetida`: how many relations drawn
// before join the same two points; each one arcs higher than the last.
Trazo TrazoDe(const Linea& linea, const Caja& o, const Caja& d, int repetida = 0);
// The path as a run of straight pieces, from the line's first end to its second.
std::vector<Linea> Tramos(const Trazo& trazo);

// Where a label of that size goes beside `trazo`: near its middle first, on either side,
// touching no rectangle of `ocupadas` and, among those places, crossing the fewest pieces of
// `otros`. None when every place is taken.
std::optional<Caja> ColocarEtiqueta(const Trazo& trazo, int ancho, int alto,
                                    const std::vector<Caja>& ocupadas,
                                    const std::vector<Linea>& otros);

// Sizes every box, draws every relation and places the labels in the relations' order.
Dibujo Disponer(const std::vector<TablaDiagrama>& tablas,
                const std::vector<RelacionDiagrama>& relaciones, const Letra& letra);

// The loop that stands for a line of no length.
std::optional<Caja> Bucle(const Linea& linea);

// Everything drawn, with the picture's margin.
Caja Limites(const Dibujo& dibujo);

// Whether two rectangles share more than an edge.
bool Solapan(const Caja& a, const Caja& b);
// Whether a segment passes through the inside of a rectangle.
bool Cruza(const Linea& linea, const Caja& caja);

}  // namespace veliora::diagrama
