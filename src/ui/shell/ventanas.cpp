#include "ui/shell/ventanas.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <algorithm>
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
// Holds a window inside its frame: scrolls it when the frame is smaller than the window's
// minimum size, asks for the window's own size, and passes a close on to the window.
class MarcoDesplazable : public QScrollArea {
  public:
    explicit MarcoDesplazable(QWidget* ventana) {
        setObjectName(QStringLiteral("scr") + ventana->objectName());
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setWidget(ventana);
        setWindowTitle(ventana->windowTitle());
        setWindowIcon(ventana->windowIcon());
        connect(ventana, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    }
    QSize sizeHint() const override {
        return widget() ? widget()->sizeHint().expandedTo(widget()->minimumSizeHint())
                        : QScrollArea::sizeHint();
    }

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (widget() && !widget()->close())
            event->ignore();
    }
};

// The workspace a frame must stay within: the area's visible part.
QSize Espacio(const QMdiArea* area) {
    return area->viewport()->size();
}

}  // namespace

QRect Encajar(const QRect& marco, const QSize& area) {
    const int ancho = std::min(marco.width(), area.width());
    const int alto = std::min(marco.height(), area.height());
    const int x = std::clamp(marco.x(), 0, std::max(0, area.width() - ancho));
    const int y = std::clamp(marco.y(), 0, std::max(0, area.height() - alto));
    return {x, y, ancho, alto};
}

QMdiSubWindow* MarcoDe(const QWidget* ventana) {
    for (QWidget* w = ventana ? ventana->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w))
            return sub;
    return nullptr;
}

void AjustarMarco(QWidget* ventana) {
    QMdiSubWindow* sub = MarcoDe(ventana);
    if (!sub)
        return;
    sub->adjustSize();
    if (QMdiArea* area = sub->mdiArea())
        sub->setGeometry(Encajar(sub->geometry(), Espacio(area)));
}

void EncajarVentanas(QMdiArea* area) {
    for (QMdiSubWindow* sub : area->subWindowList())
        if (!sub->isMinimized() && !sub->isMaximized())
            sub->setGeometry(Encajar(sub->geometry(), Espacio(area)));
}

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
        QMdiSubWindow* sub = area->addSubWindow(new MarcoDesplazable(ventana));
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->adjustSize();
        RecordarTamano(sub, ventana->objectName());
        // A window that closes itself (its own exit button) would leave an empty frame
        // behind: the frame follows it once it is gone. Deferred, because the window may be
        // going away as part of its frame's own destruction.
        QPointer<QMdiSubWindow> marco = sub;
        QObject::connect(ventana, &QObject::destroyed, QCoreApplication::instance(), [marco] {
            QTimer::singleShot(0, QCoreApplication::instance(), [marco] {
                auto* desplazable = marco ? qobject_cast<QScrollArea*>(marco->widget()) : nullptr;
                if (marco && (!desplazable || !desplazable->widget()))
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
        if (QMdiSubWindow* sub = MarcoDe(p))
            sub->close();
        else
            p->close();
    }
}

bool HayTrabajoEscrito() {
    for (const auto& p : Abiertas()) {
        if (!p)
            continue;
        for (const QPlainTextEdit* caja : p->findChildren<QPlainTextEdit*>())
            if (!caja->isReadOnly() && caja->document()->isModified() &&
                !caja->toPlainText().trimmed().isEmpty())
                return true;
    }
    return false;
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
    if (QMdiSubWindow* sub = MarcoDe(ventana)) {
        sub->show();
        sub->raise();
        if (QMdiArea* area = sub->mdiArea()) {
            area->setActiveSubWindow(sub);
            if (!sub->isMaximized())
                sub->setGeometry(Encajar(sub->geometry(), Espacio(area)));
        }
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
