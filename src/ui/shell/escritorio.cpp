#include "ui/shell/escritorio.h"

#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <string>

#include "core/app/aplicacion.h"
#include "core/shell/registro.h"
#include "ui/aula/envio_clase.h"
#include "ui/shell/texto.h"
#include "ui/shell/trabajo.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

namespace {
constexpr const char* kValorGeometria = "GEOMETRIA";

// The caption's mnemonic, upper case ("&&" is a literal ampersand); null when it has none.
QChar Mnemonico(const QString& texto) {
    for (qsizetype i = 0; i + 1 < texto.size(); ++i) {
        if (texto[i] != QLatin1Char('&'))
            continue;
        if (texto[i + 1] != QLatin1Char('&'))
            return texto[i + 1].toUpper();
        ++i;
    }
    return {};
}

// Only keys every keyboard layout types directly: an accented letter would not answer Alt.
bool Asignable(QChar c) {
    return c.unicode() < 128 && c.isLetterOrNumber();
}

void PonerMnemonicos(const QList<QAction*>& acciones) {
    QList<QChar> usadas;
    for (QAction* a : acciones)
        if (const QChar c = Mnemonico(a->text()); !c.isNull())
            usadas.append(c);
    for (QAction* a : acciones) {
        if (a->isSeparator() || a->text().isEmpty() || !Mnemonico(a->text()).isNull())
            continue;
        QString texto = a->text();
        texto.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto libre = [&](qsizetype i) {
            return texto[i] != QLatin1Char('&') && Asignable(texto[i]) &&
                   !usadas.contains(texto[i].toUpper());
        };
        qsizetype elegida = -1;
        for (qsizetype i = 0; i < texto.size() && elegida < 0; ++i)
            if ((i == 0 || texto[i - 1] == QLatin1Char(' ')) && libre(i))
                elegida = i;
        for (qsizetype i = 0; i < texto.size() && elegida < 0; ++i)
            if (libre(i))
                elegida = i;
        if (elegida < 0)
            continue;
        usadas.append(texto[elegida].toUpper());
        texto.insert(elegida, QLatin1Char('&'));
        a->setText(texto);
    }
}
}  // namespace

void PonerMnemonicos(QMenuBar* barra) {
    PonerMnemonicos(barra->actions());
    for (QAction* a : barra->actions())
        if (a->menu())
            PonerMnemonicos(a->menu());
}

void PonerMnemonicos(QMenu* menu) {
    PonerMnemonicos(menu->actions());
    for (QAction* a : menu->actions())
        if (a->menu())
            PonerMnemonicos(a->menu());
}

QMenu* CrearMenuVentana(QMainWindow* principal, QMdiArea* area, QMenu* antes) {
    auto* menu = new QMenu(principal);
    menu->setObjectName(QStringLiteral("mnuVentana"));
    menu->menuAction()->setObjectName(QStringLiteral("mnuVentana"));
    principal->menuBar()->insertMenu(antes->menuAction(), menu);
    // Rebuilt on every opening: the list follows the windows open at that moment.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, area] {
        menu->clear();
        // Whatever the windows' minimum sizes, every frame stays inside the workspace.
        QAction* cascada = menu->addAction(T(154), area, [area] {
            area->cascadeSubWindows();
            EncajarVentanas(area);
        });
        cascada->setObjectName(QStringLiteral("mnuCascada"));
        QAction* mosaico = menu->addAction(T(155), area, [area] {
            area->tileSubWindows();
            EncajarVentanas(area);
        });
        mosaico->setObjectName(QStringLiteral("mnuMosaico"));
        const auto subs = area->subWindowList();
        if (!subs.isEmpty())
            menu->addSeparator();
        int n = 0;
        for (QMdiSubWindow* sub : subs) {
            ++n;
            const QString titulo = sub->widget() ? sub->widget()->windowTitle() : QString();
            QAction* a =
                menu->addAction(n < 10 ? QStringLiteral("&%1 %2").arg(n).arg(titulo) : titulo, sub,
                                [area, sub] { area->setActiveSubWindow(sub); });
            a->setCheckable(true);
            a->setChecked(sub == area->activeSubWindow());
        }
        PonerMnemonicos(menu);
    });
    TextosMenuVentana(menu);
    return menu;
}

void TextosMenuVentana(QMenu* menu) {
    menu->setTitle(T(153));
}

void CrearBarraEstado(QMainWindow* principal) {
    QStatusBar* barra = principal->statusBar();
    barra->setObjectName(QStringLiteral("sbEstado"));
    auto etiqueta = [barra](const char* nombre, bool permanente) {
        auto* l = new QLabel(barra);
        l->setObjectName(QString::fromLatin1(nombre));
        if (permanente)
            barra->addPermanentWidget(l);
        else
            barra->addWidget(l, 1);
        return l;
    };
    QLabel* trabajo = etiqueta("lblEstadoTrabajo", false);
    QLabel* archivo = etiqueta("lblEstadoArchivo", true);
    QLabel* modo = etiqueta("lblEstadoModo", true);
    QLabel* clase = etiqueta("lblEstadoClase", true);
    auto actualizar = [principal, trabajo, archivo, modo, clase] {
        const QVariant abierto = principal->property(kArchivoAbierto);
        archivo->setText(
            abierto.isValid() ? QFileInfo(abierto.toString()).fileName()
            : Aplicacion::Actual().UsuarioAbierto()
                ? QFileInfo(QString::fromStdString(Aplicacion::Actual().Usuario()->Name()))
                      .fileName()
                : QString());
        modo->setText(T(Aplicacion::Actual().Profesor() ? 152 : 151));
        trabajo->setText(Trabajo::EnCurso());
        const EnvioClase& envio = EnvioClase::Instancia();
        clase->setText(envio.Estado());
        clase->setToolTip(envio.Fallo());
    };
    // The globals it shows change in many places; a light poll keeps it simple.
    auto* reloj = new QTimer(barra);
    QObject::connect(reloj, &QTimer::timeout, barra, actualizar);
    reloj->start(300);
    actualizar();
}

namespace {
class GuardaTamano : public QObject {
  public:
    GuardaTamano(QMdiSubWindow* marco, std::string valor)
        : QObject(marco), valor_(std::move(valor)) {}

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        // Only a close: other events also come while the frame is being destroyed, when it
        // is no longer a frame. A maximised or minimised frame's size is not the window's own.
        if (evento->type() != QEvent::Close)
            return false;
        const auto* marco = qobject_cast<QMdiSubWindow*>(objeto);
        if (marco && !marco->isMaximized() && !marco->isMinimized()) {
            // Kept within the bounds the setting is read with: a frame squeezed by a small
            // workspace must not leave a value that is refused, with a warning, next time.
            const auto medida = [](int n) {
                return std::to_string(
                    std::clamp<long long>(n, kTamanoVentanaMinimo, kTamanoVentanaMaximo));
            };
            const QSize t = marco->size();
            GuardarValor(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, valor_,
                         medida(t.width()) + "x" + medida(t.height()));
        }
        return false;
    }

  private:
    std::string valor_;
};
}  // namespace

void RecordarTamano(QMdiSubWindow* marco, const QString& nombre) {
    const std::string valor = "TAMANO_" + nombre.toStdString();
    std::string texto;
    if (GetKeyValue(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, valor, texto)) {
        const QStringList partes = QString::fromStdString(texto).split(QLatin1Char('x'));
        const auto medida = [&](int i) {
            bool numero = false;
            const long long n = partes.size() == 2 ? partes[i].trimmed().toLongLong(&numero) : 0;
            return numero && n >= kTamanoVentanaMinimo && n <= kTamanoVentanaMaximo ? int(n) : 0;
        };
        long long ninguno = 0;
        if (medida(0) && medida(1))
            marco->resize(medida(0), medida(1));
        else  // said once, as any value out of bounds (the pair is never one number)
            ValorEnLimites(valor, texto, kTamanoVentanaMinimo, kTamanoVentanaMaximo,
                           std::to_string(marco->width()) + "x" + std::to_string(marco->height()),
                           ninguno);
    }
    marco->installEventFilter(new GuardaTamano(marco, valor));
}

void RestaurarGeometria(QMainWindow* principal) {
    std::string texto;
    if (GetKeyValue(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, kValorGeometria, texto) &&
        principal->restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(texto))))
        return;
    // Fits a 1366×768 screen, its task bar and the frame included.
    principal->resize(1024, 680);
}

void GuardarGeometria(const QMainWindow* principal) {
    GuardarValor(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, kValorGeometria,
                 principal->saveGeometry().toBase64().toStdString());
}

}  // namespace veliora::ui
