#pragma once
// Help pages in the default browser, and the resources built into the program.

#include <QString>
#include <QUrl>
#include <functional>

namespace veliora::ui {

// Shows a page in the default browser; when no browser starts, tells the user which file
// to open by hand (texts 206 and 207 and the path).
void MostrarHTML(const QString& ruta);

// Opens a URL with the desktop's handler and says whether it started; replaceable so
// that tests never launch a browser. An empty function restores the desktop's handler.
using AbridorUrl = std::function<bool(const QUrl&)>;
void FijarAbridorUrl(AbridorUrl abridor);

// Registers the Qt resources (icon, About picture) of the static UI library.
void InicializarRecursos();

}  // namespace veliora::ui
