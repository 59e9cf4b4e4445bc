#pragma once
// Each window exists at most once: found if open, created anew (its load step runs)
// after it was closed. Child windows live in the main window's MDI area.

#include <QFont>
#include <QString>
#include <QWidget>
#include <functional>
#include <initializer_list>

class QMdiArea;
class QMdiSubWindow;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace veliora::ui {

// The main window's MDI area registers itself here; without one (tests), windows are
// top-level.
void FijarAreaMdi(QMdiArea* area);
QMdiArea* AreaMdi();

// The open window whose objectName is `nombre`, or null.
QWidget* BuscarVentana(const QString& nombre);
// Puts a new window in the MDI area (when there is one) and remembers it until it closes.
void RegistrarVentana(QWidget* ventana);
// Closes every registered window (on opening another database); the next request for one
// creates it anew.
void CerrarVentanas();
// Whether an open window holds text the user typed (an answer, a statement) that closing it
// would lose.
bool HayTrabajoEscrito();
// A dialog's usual body: `marco` above, `botones` right-aligned below it.
void MarcoConBotones(QWidget* ventana, QWidget* marco, std::initializer_list<QPushButton*> botones);
// A single-shot timer named "TmrInicio" that runs `accion` `ms` after it starts (now), so
// that slow set-up happens once the window is drawn.
QTimer* TemporizadorInicio(QWidget* ventana, int ms, std::function<void()> accion);

// The fixed-pitch face of every box that holds SQL or result rows.
QFont FuenteSQL();
// A box where one types SQL: Tab moves to the next control, Ctrl+Tab types a tab.
void TabuladorConControl(QPlainTextEdit* caja);

// Shows a window (its MDI sub-window when it has one) and brings it forward, wholly inside
// the workspace.
void MostrarVentana(QWidget* ventana);

// A window in the MDI area stands in a scroll area inside its frame: a frame smaller than the
// window's minimum size scrolls instead of growing past the workspace. The frame of a window,
// or null when it has none.
QMdiSubWindow* MarcoDe(const QWidget* ventana);
// A frame's geometry `marco` within a workspace of size `area`: no larger than it, and moved
// so that it stands wholly inside.
QRect Encajar(const QRect& marco, const QSize& area);
// The frame sized for what its window asks (sizeHint), within the workspace.
void AjustarMarco(QWidget* ventana);
// Every frame of `area` within it (after cascading or tiling them).
void EncajarVentanas(QMdiArea* area);

// The window of class W (a QWidget subclass with Q_OBJECT, whose objectName is its class
// name without namespace): the open one, or a new one. It is not shown: callers set properties
// first. A window's objectName: its class name without the namespace ("frmVLRQuerys").
QString NombreVentana(const QMetaObject& clase);

template <class W>
W* ObtenerVentana() {
    const QString nombre = NombreVentana(W::staticMetaObject);
    if (QWidget* abierta = BuscarVentana(nombre))
        return static_cast<W*>(abierta);
    auto* ventana = new W();
    ventana->setObjectName(nombre);
    ventana->setAttribute(Qt::WA_DeleteOnClose);
    RegistrarVentana(ventana);
    return ventana;
}

}  // namespace veliora::ui
