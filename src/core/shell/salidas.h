#pragma once
// Writing files without ever destroying one. Every writer of the program goes through here:
// ComprobarDestino decides whether a destination may be written, EscrituraSegura (or
// EscribirSalida for bytes in memory) writes a temporary file in the destination's folder
// and renames it over the destination at the end, so that a failure never leaves half a
// file and a rename never writes through a link into the file it points to.
//
// A writer of a file the user chooses (an export, a converted database, an image) calls
// EscribirSalida, or EscrituraSegura when the file is made by a library that wants a path
// or a descriptor; a refusal comes back as an error whose description says why, to be shown
// as it is (the command line exits 1, a window shows it and offers the save dialog again).

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/engine/database.h"

namespace veliora {

// What a destination may be besides a new or ordinary file.
enum class Reemplazo {
    // A file the user chose: never a database (SQLite or Access, by its first bytes), a
    // database the program has open, the template, the settings, a file the program is
    // reading or holds open.
    Ninguno,
    // An auxiliary database brought in by the import: it may replace another auxiliary
    // database that is not open (the import loads the open one into its connection).
    Auxiliar,
    // A file of the program's own (settings, a conversion it keeps, a record beside it):
    // only links and files that are not regular files are refused.
    Propio,
};

// The user database and the auxiliary database the program has open, which no writer may
// replace: the application object that owns them answers (none while none is set).
struct BasesAbiertas {
    std::shared_ptr<engine::Database> usuario, auxiliar;
};
void FijarBasesAbiertas(std::function<BasesAbiertas()> consulta);

// Whether `destino` may be written; when not, false with the reason in `error`. Links are
// resolved before comparing (through "..", a linked folder or a hard link the destination is
// the same file), and a destination that is itself a symbolic link is refused.
bool ComprobarDestino(const std::filesystem::path& destino, engine::Error& error,
                      Reemplazo reemplazo = Reemplazo::Ninguno);

// A file written under a temporary name in the destination's folder
// (<name>.parcial-<pid>-<n>) and renamed over the destination by Confirmar. Destroyed
// before Confirmar, it removes what it wrote. The destination keeps its permissions.
class EscrituraSegura {
  public:
    EscrituraSegura() = default;
    ~EscrituraSegura();
    EscrituraSegura(const EscrituraSegura&) = delete;
    EscrituraSegura& operator=(const EscrituraSegura&) = delete;

    // Checks the destination and creates the temporary file, empty.
    bool Abrir(const std::filesystem::path& destino, engine::Error& error,
               Reemplazo reemplazo = Reemplazo::Ninguno);
    bool Escribir(std::string_view bytes, engine::Error& error);
    // The temporary file, for a writer that opens it by name (the engine); call
    // CerrarDescriptor first.
    const std::filesystem::path& Temporal() const { return temporal_; }
    void CerrarDescriptor();
    // Flushes the file to disk, checks the destination again and renames over it.
    bool Confirmar(engine::Error& error);

  private:
    void Descartar();
    std::filesystem::path destino_, temporal_;
    Reemplazo reemplazo_ = Reemplazo::Ninguno;
    int fd_ = -1;
    bool confirmada_ = false;
};

// Writes `bytes` to `destino` through an EscrituraSegura.
bool EscribirSalida(const std::filesystem::path& destino, std::string_view bytes,
                    engine::Error& error, Reemplazo reemplazo = Reemplazo::Ninguno);

// Copies the regular file `origen` to `destino` through an EscrituraSegura.
bool CopiarArchivo(const std::filesystem::path& origen, const std::filesystem::path& destino,
                   engine::Error& error, Reemplazo reemplazo = Reemplazo::Ninguno);

// Removes the temporary files (<name>.parcial-<pid>[-<n>]) that writers killed before they
// finished left in `carpeta`: those of processes that no longer run. With a name, only the
// temporary files of that destination.
void LimpiarParciales(const std::filesystem::path& carpeta, const std::string& nombre = {});

// While it lives, the file it names (if it exists) is refused as a destination: a file the
// program reads from, such as the Access file being converted or the one the open database
// comes from.
class ArchivoProtegido {
  public:
    explicit ArchivoProtegido(const std::filesystem::path& ruta);
    ~ArchivoProtegido();
    ArchivoProtegido(const ArchivoProtegido&) = delete;
    ArchivoProtegido& operator=(const ArchivoProtegido&) = delete;

  private:
    dev_t dispositivo_ = 0;
    ino_t nodo_ = 0;
    bool activo_ = false;
};

}  // namespace veliora
