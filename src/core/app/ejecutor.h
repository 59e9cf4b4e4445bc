#pragma once
// Work on the engine off the caller's thread. One worker runs the jobs one at a time, in the
// order they were given, holding the engine lock, so that a connection is never used by two
// threads at once.
//
// Cancelling a job interrupts the database it was given (Database::Interrupt) and drops its
// result; a job not started yet never starts. A call that ignores the interrupt finishes in
// the background (the job keeps its database alive through its own reference) and what it
// returns reaches no one. A job that throws ends in its fault, handed to the caller.

#include <exception>
#include <functional>
#include <memory>
#include <mutex>

#include "core/engine/database.h"

namespace veliora {

class Ejecutor {
  public:
    // What the caller's side does with a job's result, run on the caller's thread.
    using Entrega = std::function<void()>;
    // The job, run on the worker: it returns its delivery (may be empty).
    using Tarea = std::function<Entrega()>;
    // Called on the worker when a job that was not cancelled ends: with its delivery, or with
    // the fault it threw (then the delivery is empty). The caller posts it to its own thread
    // (a window through a queued call); it runs while Cancelar waits, so it must not block.
    using Destino = std::function<void(Entrega entrega, std::exception_ptr fallo)>;

    // A job given to the executor.
    class Encargo;

    Ejecutor();
    // Cancels every job and waits for the worker to end the one it runs.
    ~Ejecutor();
    Ejecutor(const Ejecutor&) = delete;
    Ejecutor& operator=(const Ejecutor&) = delete;

    // Queues `tarea` over `bd` (null for work that uses no connection).
    std::shared_ptr<Encargo> Lanzar(std::shared_ptr<engine::Database> bd, Tarea tarea,
                                    Destino destino);
    // Interrupts the job and drops its result: its Destino is not called once this returns.
    // Nothing when it has already ended.
    void Cancelar(const std::shared_ptr<Encargo>& encargo);
    // Blocks until the job has ended (run, failed or cancelled).
    void Esperar(const std::shared_ptr<Encargo>& encargo);
    // Whether the job has ended, without waiting.
    bool Terminado(const std::shared_ptr<Encargo>& encargo);
    // Jobs given and not ended yet, cancelled ones included.
    int Pendientes() const;
    // Whether the job running on this thread has been cancelled, for work that stops between
    // its own steps rather than in the engine; false off the worker.
    static bool Cancelado();
    // Held by the worker while a job runs: whoever steps a connection outside the executor
    // (on the window thread, briefly) takes it first.
    std::mutex& Cerrojo();

  private:
    struct Cola;
    void Correr();
    void Ejecutar(Encargo& encargo);

    std::unique_ptr<Cola> cola_;
};

}  // namespace veliora
