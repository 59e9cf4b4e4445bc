#pragma once
// The student's outbox and local record: every attempt is kept first in a SQLite file of the
// application directory, then sent to the class's store in the order it was made. An attempt
// is marked sent only once the store holds it, and the store ignores an attempt it holds
// already, so a send cut short at any point and resent arrives exactly once.

#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "core/aula/almacen.h"
#include "core/aula/membresia.h"

namespace veliora::engine {
class Database;
}

namespace veliora::aula {

class Buzon {
  public:
    // The outbox of an application directory ("pendientes.db"), created when missing.
    static std::unique_ptr<Buzon> Abrir(const std::filesystem::path& directorio, Error& error);
    ~Buzon();

    bool Guardar(const Membresia& membresia, const Intento& intento, Error& error);
    // Attempts of this membership not yet in the store.
    int Pendientes(const Membresia& membresia, Error& error);
    // Sends the pending attempts in order until none is left or one fails (then `error`);
    // returns how many reached the store.
    int Enviar(const Membresia& membresia, Almacen& almacen, Error& error);
    // Every attempt of this membership kept here, sent or not, oldest first.
    std::vector<Intento> Propios(const Membresia& membresia, Error& error);

  private:
    explicit Buzon(std::shared_ptr<engine::Database> bd);
    std::vector<std::pair<std::int64_t, Intento>> Siguientes(const Membresia& membresia,
                                                             Error& error);
    std::shared_ptr<engine::Database> bd_;
};

// A student's progress per bulletin question: best verdict and number of attempts.
std::map<ClavePregunta, Celda> Progreso(const std::vector<Intento>& intentos);

}  // namespace veliora::aula
