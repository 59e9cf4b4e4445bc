#include "core/app/ejecutor.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <thread>

namespace veliora {

class Ejecutor::Encargo {
  public:
    std::mutex m;
    std::condition_variable fin;
    std::atomic<bool> cancelado{false};
    bool enCurso = false;    // the worker is inside the task
    bool terminado = false;  // run, failed or cancelled, and left the worker
    std::shared_ptr<engine::Database> bd;
    Tarea tarea;
    Destino destino;
};

struct Ejecutor::Cola {
    std::mutex m;
    std::condition_variable hay;
    std::deque<std::shared_ptr<Encargo>> encargos;
    std::shared_ptr<Encargo> enMarcha;
    bool parar = false;
    std::atomic<int> pendientes{0};
    std::mutex motor;
    std::thread hilo;
};

namespace {

// The job the worker runs, for Cancelado().
thread_local Ejecutor::Encargo* actual = nullptr;

}  // namespace

Ejecutor::Ejecutor() : cola_(std::make_unique<Cola>()) {
    cola_->hilo = std::thread([this] { Correr(); });
}

Ejecutor::~Ejecutor() {
    {
        std::lock_guard<std::mutex> l(cola_->m);
        cola_->parar = true;
        for (const auto& e : cola_->encargos) Cancelar(e);
        Cancelar(cola_->enMarcha);
    }
    cola_->hay.notify_all();
    cola_->hilo.join();
}

std::shared_ptr<Ejecutor::Encargo> Ejecutor::Lanzar(std::shared_ptr<engine::Database> bd,
                                                    Tarea tarea, Destino destino) {
    auto encargo = std::make_shared<Encargo>();
    encargo->bd = std::move(bd);
    encargo->tarea = std::move(tarea);
    encargo->destino = std::move(destino);
    ++cola_->pendientes;
    {
        std::lock_guard<std::mutex> l(cola_->m);
        cola_->encargos.push_back(encargo);
    }
    cola_->hay.notify_one();
    return encargo;
}

void Ejecutor::Cancelar(const std::shared_ptr<Encargo>& encargo) {
    if (!encargo)
        return;
    std::lock_guard<std::mutex> l(encargo->m);
    if (encargo->terminado)
        return;
    encargo->cancelado = true;
    if (encargo->enCurso && encargo->bd)
        encargo->bd->Interrupt();
}

void Ejecutor::Esperar(const std::shared_ptr<Encargo>& encargo) {
    std::unique_lock<std::mutex> l(encargo->m);
    encargo->fin.wait(l, [&] { return encargo->terminado; });
}

bool Ejecutor::Terminado(const std::shared_ptr<Encargo>& encargo) {
    std::lock_guard<std::mutex> l(encargo->m);
    return encargo->terminado;
}

int Ejecutor::Pendientes() const {
    return cola_->pendientes.load();
}

bool Ejecutor::Cancelado() {
    return actual && actual->cancelado.load();
}

std::mutex& Ejecutor::Cerrojo() {
    return cola_->motor;
}

void Ejecutor::Correr() {
    for (;;) {
        std::shared_ptr<Encargo> encargo;
        {
            std::unique_lock<std::mutex> l(cola_->m);
            cola_->hay.wait(l, [this] { return cola_->parar || !cola_->encargos.empty(); });
            if (cola_->encargos.empty())
                return;
            encargo = std::move(cola_->encargos.front());
            cola_->encargos.pop_front();
            cola_->enMarcha = encargo;
        }
        Ejecutar(*encargo);
        std::lock_guard<std::mutex> l(cola_->m);
        cola_->enMarcha.reset();
    }
}

void Ejecutor::Ejecutar(Encargo& e) {
    Entrega entrega;
    std::exception_ptr fallo;
    {
        std::lock_guard<std::mutex> motor(cola_->motor);
        {
            std::lock_guard<std::mutex> l(e.m);
            e.enCurso = !e.cancelado;
            if (e.enCurso && e.bd)
                e.bd->ResetInterrupt();
        }
        if (e.enCurso) {
            actual = &e;
            try {
                entrega = e.tarea();
            } catch (const std::exception&) {
                // A fault below the caller: handed over, not hidden.
                fallo = std::current_exception();
            }
            actual = nullptr;
        }
        std::lock_guard<std::mutex> l(e.m);
        e.enCurso = false;
        // An interrupt that came late must not fail the next statement of anyone else.
        if (e.bd)
            e.bd->ResetInterrupt();
        // What the job holds of the engine (a statement, a result) goes under the lock.
        e.tarea = nullptr;
        if (e.cancelado)
            entrega = nullptr;
    }
    --cola_->pendientes;
    std::lock_guard<std::mutex> l(e.m);
    e.terminado = true;
    if (!e.cancelado && e.destino)
        e.destino(std::move(entrega), fallo);
    e.destino = nullptr;
    e.fin.notify_all();
}

}  // namespace veliora
