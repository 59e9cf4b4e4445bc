#include "ui/shell/trabajo.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

namespace {

// Held by a worker while it uses the engine.
std::mutex& CerrojoMotor() {
    static std::mutex cerrojo;
    return cerrojo;
}

// Owners whose work runs, latest last; window thread only.
std::vector<Trabajo*>& Ocupados() {
    static std::vector<Trabajo*> ocupados;
    return ocupados;
}

std::atomic<int>& Contador() {
    static std::atomic<int> contador{0};
    return contador;
}

}  // namespace

struct Trabajo::Estado {
    std::mutex m;
    Trabajo* receptor = nullptr;  // null once cancelled or its owner is gone
    bool enCurso = false;         // the worker is inside the task
    std::shared_ptr<engine::Database> bd;
};

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
    return Contador().load();
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
    auto estado = std::make_shared<Estado>();
    estado->receptor = this;
    estado->bd = std::move(bd);
    actual_ = estado;
    alCancelar_ = std::move(alCancelar);
    descripcion_ = descripcion;
    transcurrido_->start();
    Ocupados().push_back(this);
    Actualizar();
    show();
    reloj_->start();
    ++Contador();
    std::thread([estado, tarea = std::move(tarea)] {
        Entrega entrega;
        {
            std::lock_guard<std::mutex> motor(CerrojoMotor());
            bool cancelado;
            {
                std::lock_guard<std::mutex> l(estado->m);
                cancelado = estado->receptor == nullptr;
                if (!cancelado && estado->bd)
                    estado->bd->ResetInterrupt();
                estado->enCurso = !cancelado;
            }
            if (!cancelado) {
                try {
                    entrega = tarea();
                } catch (const std::exception& e) {
                    // A fault below the windows: said, not hidden.
                    const QString que = QString::fromUtf8(e.what());
                    entrega = [que] { Mensaje(T(1163).arg(que), Icono::Critico); };
                }
            }
            std::lock_guard<std::mutex> l(estado->m);
            estado->enCurso = false;
            // An interrupt that came late must not fail the next statement of anyone else.
            if (estado->bd)
                estado->bd->ResetInterrupt();
        }
        --Contador();
        std::lock_guard<std::mutex> l(estado->m);
        if (Trabajo* t = estado->receptor) {
            QMetaObject::invokeMethod(
                t,
                [t, estado, entrega] {
                    if (t->actual_ != estado)
                        return;
                    t->Terminar();
                    if (entrega)
                        entrega();
                    emit t->terminado();
                },
                Qt::QueuedConnection);
        }
    }).detach();
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
    {
        std::lock_guard<std::mutex> l(actual_->m);
        actual_->receptor = nullptr;
        if (actual_->enCurso && actual_->bd)
            actual_->bd->Interrupt();
    }
    Terminar();
    auto alCancelar = std::move(alCancelar_);
    alCancelar_ = nullptr;
    if (avisar && alCancelar)
        alCancelar();
    emit terminado();
}

}  // namespace veliora::ui
