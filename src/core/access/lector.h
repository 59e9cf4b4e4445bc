#pragma once
// The helper program veliora-mdb as a child process: its output read line by line, its
// complaints kept, and an end that can be forced.

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace veliora::access {

class Lector {
  public:
    ~Lector() { Terminar(); }

    bool Iniciar(const std::filesystem::path& programa, const std::filesystem::path& archivo);
    // Next line of the output; nothing at its end, or when `latido` (called while the
    // reader is silent for a while) answers false.
    std::optional<std::string> Linea(const std::function<bool()>& latido);
    // Waits for the end; the exit status, or -signal when it died of one.
    int Esperar();
    void Terminar();
    // What the reader wrote on its error output (the first 64 KiB).
    const std::string& Errores() const { return textoErrores_; }

  private:
    int Recoger();
    bool Leer();

    pid_t pid_ = -1;
    int salida_ = -1, errores_ = -1;
    int estado_ = -1;
    std::string pendiente_;
    std::size_t inicio_ = 0;
    std::string textoErrores_;
};

}  // namespace veliora::access
