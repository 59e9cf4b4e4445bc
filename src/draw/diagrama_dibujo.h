#pragma once
// How the dictionary diagram looks: its font, colours and the painting of a box, a relation
// line and a label. The window's items and the exported picture (PNG or SVG, from the window
// and from the command line) paint with these same routines, so both show the same diagram.
// Needs a QGuiApplication (fonts). One pixel is 15 twips.

#include <QFont>
#include <QRect>
#include <QString>
#include <vector>

#include "core/dictionary/disposicion.h"
#include "core/dictionary/vista_esquema.h"
#include "core/engine/database.h"

class QPainter;
class QPainterPath;

namespace veliora::dibujo {

// Pixels of a length or position in twips (rounded, so that every edge lands on a pixel).
int Px(int twips);
// A rectangle in pixels, relative to `origen` (twips).
QRect Rect(const diagrama::Caja& caja, diagrama::Punto origen = {});

QFont FuenteDiagrama();
diagrama::Letra MedidasLetra();
// Size in twips of the label of a relation named `nombre`.
diagrama::Caja TamanoEtiqueta(const QString& nombre);

// The drawing of the tables of `vista` in boxes at `cajas` (positions and most heights).
diagrama::Dibujo Disponer(const VistaEsquema& vista, const std::vector<diagrama::Caja>& cajas);

// A box at (0, 0) of the painter: the table's name, a rule, the fields from `primerCampo`
// on (keys marked) and, when they do not all fit, a scroll bar. `seleccionada`: the line
// shown selected (0 the name, 2 onwards the fields; -1 none).
void PintarCaja(QPainter& p, const TablaVista& tabla, const diagrama::CajaDibujada& caja,
                int primerCampo, int seleccionada);
// A relation's path in the painter's pixels, `origen` at (0, 0): a bar across its primary
// end and the "many" mark at its related end (or a loop, for a table related to itself).
void PintarRelacion(QPainter& p, const diagrama::Trazo& trazo, bool muchos, bool resaltada,
                    diagrama::Punto origen = {});
// The same path, for hit-testing and hovering.
QPainterPath Camino(const diagrama::Trazo& trazo, diagrama::Punto origen = {});
void PintarEtiqueta(QPainter& p, const QRect& rect, const QString& nombre, bool resaltada);

// The whole picture: its size in pixels and its painting, `dibujo`'s limits at (0, 0).
QSize TamanoImagen(const diagrama::Dibujo& dibujo);
void DibujarImagen(QPainter& p, const VistaEsquema& vista, const diagrama::Dibujo& dibujo);
// Writes the picture as SVG (by the file's extension) or PNG, through a temporary file in
// the destination's folder renamed at the end.
bool GuardarImagen(const QString& ruta, const VistaEsquema& vista, const diagrama::Dibujo& dibujo,
                   engine::Error& error);

}  // namespace veliora::dibujo
