#pragma once
// Engine work off the window thread. A window owns one Trabajo: while it runs, a strip
// shows what runs and for how long, with a Cancel button (Esc presses it); the window
// thread never waits on the engine.
//
// The work runs on the application's executor (core/app/ejecutor.h): one job at a time
// uses the engine. Cancelling interrupts the database the work was started on and drops
// the work's result at once; the worker ends on its own. A call that ignored the interrupt
// is left to finish in the background and nothing it returns reaches a window.

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/app/ejecutor.h"
#include "core/engine/database.h"

class QElapsedTimer;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace veliora::ui {

class Trabajo : public QWidget {
    Q_OBJECT
  public:
    // The strip starts hidden; the owner places it in its layout.
    explicit Trabajo(QWidget* parent);
    // Cancels what runs.
    ~Trabajo() override;

    // What runs on the worker: it returns what the window thread does with the result.
    using Entrega = std::function<void()>;
    using Tarea = std::function<Entrega()>;

    // Runs `tarea` on a worker over `bd`. `descripcion` holds %1 for the elapsed seconds.
    // `alCancelar` runs on the window thread when the user cancels. False (nothing runs)
    // while another piece of work of this owner runs.
    bool Lanzar(const QString& descripcion, std::shared_ptr<engine::Database> bd, Tarea tarea,
                std::function<void()> alCancelar = {});
    bool Ocupado() const { return actual_ != nullptr; }
    // What the running work has done so far (rows written...), shown after its description;
    // read on the window thread while it runs.
    void FijarDetalle(std::function<QString()> detalle) { detalle_ = std::move(detalle); }
    // Interrupts and drops what runs; runs `alCancelar` when `avisar`. Nothing when idle.
    void Cancelar(bool avisar = true);
    // What runs now, for the status bar; empty when idle.
    QString Descripcion() const;

    // Pieces of work still running in the background, cancelled ones included.
    static int Pendientes();
    // What the most recently started piece of work still running describes; empty when
    // none runs.
    static QString EnCurso();

  signals:
    // The work ended (delivered, failed or cancelled); the owner may enable its controls.
    void terminado();

  private:
    void Actualizar();
    void Terminar();

    std::shared_ptr<Ejecutor::Encargo> actual_;
    std::uint64_t lanzadas_ = 0;  // tells a late delivery from the current work's
    std::function<void()> alCancelar_;
    std::function<QString()> detalle_;
    QString descripcion_;
    QLabel* lblTrabajo_;
    QProgressBar* barra_;
    QPushButton* cmdCancelar_;
    QTimer* reloj_;
    std::unique_ptr<QElapsedTimer> transcurrido_;
};

}  // namespace veliora::ui
