#include "ui/shell/ayuda.h"

#include <QDesktopServices>
#include <QtGlobal>

#include "core/base/textos.h"
#include "ui/shell/mensajes.h"

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegistrarRecursosVeliora() {
    Q_INIT_RESOURCE(veliora);
}

namespace veliora::ui {

namespace {
AbridorUrl& AbridorActual() {
    static AbridorUrl abridor;
    return abridor;
}
}  // namespace

void FijarAbridorUrl(AbridorUrl abridor) {
    AbridorActual() = std::move(abridor);
}

void MostrarHTML(const QString& ruta) {
    // A local-file URL keeps a path with blanks in one piece on its way to the browser.
    const QUrl url = QUrl::fromLocalFile(ruta);
    const bool abierto = AbridorActual() ? AbridorActual()(url) : QDesktopServices::openUrl(url);
    if (abierto)
        return;
    Mensaje(QString::fromStdString(Texto(206)) + QStringLiteral("\r\n") +
                QString::fromStdString(Texto(207)) + QStringLiteral("\r\n") + ruta,
            Icono::Critico);
}

void InicializarRecursos() {
    // The resources live in a static library: without an explicit reference the linker
    // may drop them.
    static const bool registrados = (RegistrarRecursosVeliora(), true);
    (void)registrados;
}

}  // namespace veliora::ui
