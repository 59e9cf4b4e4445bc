#pragma once
// What an action changed, said in a few words in the main window's status bar (kept there a
// while), and the file dialogs that ask where to save or what to open.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace veliora::ui {

// Shows `texto` in the status bar of the main window (when there is one).
void Avisar(const QString& texto);
// The last text said, for tests.
QString UltimoAviso();

// Asks where to save: a save dialog in the folder last used for files of `clase` (at first
// `carpeta`, or the home folder), with the file name `sugerido`; the chosen path gets the
// first filter's extension when it has none. Empty when cancelled. The folder chosen is
// remembered for next time.
QString PedirRutaGuardar(QWidget* padre, const QString& titulo, const QString& clase,
                         const QString& sugerido, const QStringList& filtros,
                         const QString& carpeta = {});

// Tests: while set, PedirRutaGuardar returns what this answers for the suggested path
// (folder and name) instead of showing a dialog.
using RespuestaRuta = std::function<QString(const QString& sugerida)>;
void FijarRespuestaRuta(RespuestaRuta respuesta);

}  // namespace veliora::ui
