// veliora: the windowed program.
#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/shell/version.h"
#include "ui/shell/ayuda.h"
#include "ui/shell/frmVLRMdi.h"

namespace {

// The usage text, in the interface language, for `veliora --help`.
void MostrarUso() {
    veliora::Aplicacion::Actual().LeerIdioma();
    // The option lines (2552 to 2554) are indented under the usage line.
    for (int id = 2550; id <= 2555; ++id)
        std::printf("%s%s\n", id >= 2552 && id <= 2554 ? "  " : "", veliora::Texto(id).c_str());
}

// --version and --help are answered on the terminal before any window exists, so that they
// work without a display. Returns whether one of them was given.
bool RespondeEnTerminal(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            const std::string version(veliora::VersionPrograma());
            std::printf("veliora %s\n", version.c_str());
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            MostrarUso();
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // The program's state, alive until every window is gone.
    veliora::Aplicacion aplicacion;
    if (RespondeEnTerminal(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VELIORA"));
    QApplication::setApplicationName(QStringLiteral("veliora"));
    QApplication::setApplicationVersion(QString::fromUtf8(veliora::VersionPrograma()));
    QApplication::setDesktopFileName(QStringLiteral("veliora"));
    veliora::ui::InicializarRecursos();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/veliora.svg")));

    veliora::ui::frmVLRMdi ventana;
    // Start-up (and the login, when asked for) runs before the main window appears.
    ventana.Iniciar(QApplication::arguments().mid(1));
    ventana.show();
    return QApplication::exec();
}
