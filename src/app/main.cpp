// veliora: the windowed program.
#include <QApplication>
#include <QIcon>
#include <QStringList>

#include "ui/shell/ayuda.h"
#include "ui/shell/frmVLRMdi.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("VELIORA"));
    QApplication::setApplicationName(QStringLiteral("veliora"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QApplication::setDesktopFileName(QStringLiteral("veliora"));
    veliora::ui::InicializarRecursos();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/veliora.svg")));

    veliora::ui::frmVLRMdi ventana;
    // Start-up (and the login, when asked for) runs before the main window appears.
    ventana.Iniciar(QApplication::arguments().mid(1));
    ventana.show();
    return QApplication::exec();
}
