#include "ui/shell/ventanas.h"

#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <vector>

#include "ui/shell/escritorio.h"

namespace veliora::ui {

namespace {
QPointer<QMdiArea>& Area() {
    static QPointer<QMdiArea> area;
    return area;
}
std::vector<QPointer<QWidget>>& Abiertas() {
    static std::vector<QPointer<QWidget>> abiertas;
    return abiertas;
}
// Ctrl+Tab types a tab in its box. The MDI area switches windows on Ctrl+Tab from an
// application-wide filter; while the box has focus this one goes before it, as the latest.
class TabuladorControl : public QObject {
  public:
    explicit TabuladorControl(QPlainTextEdit* caja) : QObject(caja), caja_(caja) {}
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        const auto tipo = evento->type();
        if (objeto == caja_ && tipo == QEvent::FocusIn)
            qApp->installEventFilter(this);
        else if (objeto == caja_ && tipo == QEvent::FocusOut)
            qApp->removeEventFilter(this);
        if (objeto != caja_ || (tipo != QEvent::ShortcutOverride && tipo != QEvent::KeyPress))
            return false;
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->key() != Qt::Key_Tab || tecla->modifiers() != Qt::ControlModifier)
            return false;
        if (tipo == QEvent::ShortcutOverride)
            evento->accept();
        else
            caja_->insertPlainText(QStringLiteral("\t"));
        return true;
    }

  private:
    QPlainTextEdit* caja_;
};
}  // namespace

QString NombreVentana(const QMetaObject& clase) {
    const QString nombre = QString::fromLatin1(clase.className());
    return nombre.mid(nombre.lastIndexOf(QLatin1Char(':')) + 1);
}

void FijarAreaMdi(QMdiArea* area) {
    Area() = area;
}
QMdiArea* AreaMdi() {
    return Area();
}

QWidget* BuscarVentana(const QString& nombre) {
    auto& abiertas = Abiertas();
    std::erase_if(abiertas, [](const QPointer<QWidget>& p) { return p.isNull(); });
    for (const auto& p : abiertas)
        if (p->objectName() == nombre)
            return p;
    return nullptr;
}

void RegistrarVentana(QWidget* ventana) {
    Abiertas().emplace_back(ventana);
    if (QMdiArea* area = Area()) {
        QMdiSubWindow* sub = area->addSubWindow(ventana);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        RecordarTamano(sub, ventana->objectName());
        // A window that closes itself (its own exit button) would leave an empty frame
        // behind: the frame follows it once it is gone. Deferred, because the window may be
        // going away as part of its frame's own destruction.
        QPointer<QMdiSubWindow> marco = sub;
        QObject::connect(ventana, &QObject::destroyed, QCoreApplication::instance(), [marco] {
            QTimer::singleShot(0, QCoreApplication::instance(), [marco] {
                if (marco && !marco->widget())
                    marco->close();
            });
        });
    }
}

void CerrarVentanas() {
    // Taken from the list first: a window whose deletion is still pending must not be
    // found and reused.
    std::vector<QPointer<QWidget>> abiertas;
    abiertas.swap(Abiertas());
    for (const auto& p : abiertas) {
        if (!p)
            continue;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p->parentWidget()))
            sub->close();
        else
            p->close();
    }
}

void MarcoConBotones(QWidget* ventana, QWidget* marco,
                     std::initializer_list<QPushButton*> botones) {
    auto* fila = new QHBoxLayout;
    fila->addStretch();
    for (QPushButton* b : botones) fila->addWidget(b);
    auto* capa = new QVBoxLayout(ventana);
    capa->addWidget(marco);
    capa->addLayout(fila);
}

QTimer* TemporizadorInicio(QWidget* ventana, int ms, std::function<void()> accion) {
    auto* tmr = new QTimer(ventana);
    tmr->setObjectName(QStringLiteral("TmrInicio"));
    tmr->setSingleShot(true);
    QObject::connect(tmr, &QTimer::timeout, ventana, [tmr, accion = std::move(accion)] {
        tmr->stop();
        accion();
    });
    tmr->start(ms);
    return tmr;
}

void MostrarVentana(QWidget* ventana) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(ventana->parentWidget())) {
        sub->show();
        sub->raise();
        if (QMdiArea* area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    }
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
}

QFont FuenteSQL() {
    QFont fija(QStringLiteral("Courier New"));
    fija.setStyleHint(QFont::TypeWriter);
    fija.setFixedPitch(true);
    return fija;
}

void TabuladorConControl(QPlainTextEdit* caja) {
    caja->setTabChangesFocus(true);
    caja->installEventFilter(new TabuladorControl(caja));
}

}  // namespace veliora::ui
