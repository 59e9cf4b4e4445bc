#pragma once
// What a result grid offers on its context menu: copying the selected cells (with or without
// the column names, or as a list for a statement's IN), exporting the whole result to CSV,
// selecting everything.

#include <QString>
#include <functional>

class QTableView;

namespace veliora::ui {

// The selected block as tab-separated lines, the column names first when asked.
QString TextoSeleccion(const QTableView* rejilla, bool cabeceras);
// The selected cells' distinct values as "IN (1, 2, 'tres')", in reading order; NULLs left out.
QString ListaIn(const QTableView* rejilla);

// Gives the grid its context menu and keys (Ctrl+C copies, Ctrl+A selects all). `exportar`
// runs the CSV export of the whole result.
void DarMenuRejilla(QTableView* rejilla, std::function<void()> exportar);

}  // namespace veliora::ui
