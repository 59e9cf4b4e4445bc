#include "ui/shell/trabajo.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <exception>
#include <vector>

#include "core/app/aplicacion.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

namespace {

// Owners whose work runs, latest last; window thread only.
std::vector<Trabajo*>& Ocupados() {
    static std::vector<Trabajo*> ocupados;
    return ocupados;
}

// A fault below the windows: said, not hidden.
void MostrarFallo(const std::exception_ptr& fallo) {
    try {
        std::rethrow_exception(fallo);
    } catch (const std::exception& e) {
        Mensaje(T(1163).arg(QString::fromUtf8(e.what())), Icono::Critico);
    }
}

}  // namespace

Trabajo::Trabajo(QWidget* parent) : QWidget(parent), transcurrido_(new QElapsedTimer) {
    setObjectName(QStringLiteral("Trabajo"));
    lblTrabajo_ = new QLabel(this);
    lblTrabajo_->setObjectName(QStringLiteral("lblTrabajo"));
    barra_ = new QProgressBar(this);
    barra_->setRange(0, 0);  // busy, no known end
    barra_->setMaximumWidth(120);
    barra_->setTextVisible(false);
    cmdCancelar_ = new QPushButton(T(1152), this);
    cmdCancelar_->setObjectName(QStringLiteral("cmdCancelar"));
    auto* capa = new QHBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    capa->addWidget(lblTrabajo_, 1);
    capa->addWidget(barra_);
    capa->addWidget(cmdCancelar_);
    reloj_ = new QTimer(this);
    reloj_->setInterval(250);
    connect(reloj_, &QTimer::timeout, this, [this] { Actualizar(); });
    connect(cmdCancelar_, &QPushButton::clicked, this, [this] { Cancelar(); });
    // Esc anywhere in the owner window cancels, while something runs.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), parent ? parent : this);
    esc->setContext(Qt::WidgetWithChildrenShortcut);
    connect(esc, &QShortcut::activated, this, [this] { Cancelar(); });
    hide();
}

Trabajo::~Trabajo() {
    blockSignals(true);
    Cancelar(false);
}

int Trabajo::Pendientes() {
    return Aplicacion::Actual().Motor().Pendientes();
}

QString Trabajo::EnCurso() {
    return Ocupados().empty() ? QString() : Ocupados().back()->Descripcion();
}

QString Trabajo::Descripcion() const {
    if (!actual_)
        return {};
    const QString texto = descripcion_.arg(transcurrido_->elapsed() / 1000);
    return detalle_ ? texto + QStringLiteral(" · ") + detalle_() : texto;
}

void Trabajo::Actualizar() {
    lblTrabajo_->setText(Descripcion());
}

bool Trabajo::Lanzar(const QString& descripcion, std::shared_ptr<engine::Database> bd, Tarea tarea,
                     std::function<void()> alCancelar) {
    if (actual_)
        return false;
    alCancelar_ = std::move(alCancelar);
    descripcion_ = descripcion;
    transcurrido_->start();
    Ocupados().push_back(this);
    Actualizar();
    show();
    reloj_->start();
    // Called on the worker; Cancelar (the destructor's too) waits for a call under way and
    // stops later ones, so this object is alive whenever it posts.
    auto entregar = [this, numero = ++lanzadas_](Entrega entrega, std::exception_ptr fallo) {
        QMetaObject::invokeMethod(
            this,
            [this, numero, entrega = std::move(entrega), fallo] {
                if (!actual_ || lanzadas_ != numero)
                    return;
                Terminar();
                if (fallo)
                    MostrarFallo(fallo);
                else if (entrega)
                    entrega();
                emit terminado();
            },
            Qt::QueuedConnection);
    };
    actual_ = Aplicacion::Actual().Motor().Lanzar(std::move(bd), std::move(tarea), entregar);
    return true;
}

void Trabajo::Terminar() {
    actual_.reset();
    detalle_ = nullptr;
    std::erase(Ocupados(), this);
    reloj_->stop();
    hide();
}

void Trabajo::Cancelar(bool avisar) {
    if (!actual_)
        return;
    Aplicacion::Actual().Motor().Cancelar(actual_);
    Terminar();
    auto alCancelar = std::move(alCancelar_);
    alCancelar_ = nullptr;
    if (avisar && alCancelar)
        alCancelar();
    emit terminado();
}

}  // namespace veliora::ui
