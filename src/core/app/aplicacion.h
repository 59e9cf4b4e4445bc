#pragma once
// The program's state, in one object built by whoever starts the program (the windows'
// main, the command-line tool, a test) and reached through Aplicacion::Actual() while it
// lives, as Qt's application object is: the user database and its auxiliary database, the
// role, the language, the settings (read through core/shell/registro) and the executor of
// work on the engine.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "core/app/ejecutor.h"
#include "core/engine/database.h"
#include "core/shell/salidas.h"

namespace veliora {

class Aplicacion {
  public:
    // No database open, student, Spanish. Only one lives at a time (a second is a fault).
    Aplicacion();
    // Cancels the work still queued and waits for the worker; the language goes back to
    // Spanish.
    ~Aplicacion();
    Aplicacion(const Aplicacion&) = delete;
    Aplicacion& operator=(const Aplicacion&) = delete;

    // The one alive; a fault (std::logic_error) when none is.
    static Aplicacion& Actual();

    // The open databases (null when none). A window keeps its own reference, so that a
    // window loaded before another database was opened keeps working on the previous one.
    std::shared_ptr<engine::Database> Usuario() const;
    std::shared_ptr<engine::Database> Auxiliar() const;
    // Whether a user database is open.
    bool UsuarioAbierto() const;
    // Opens `ruta` as the user database (an Access file as its conversion); returns 0 or the
    // engine error number, and on failure the open one stays.
    int AbrirUsuario(const std::string& ruta, engine::Error* error = nullptr);
    // Opens the auxiliary database of a user database file name (alumnos.mdb ->
    // alumnos.mdb_ in the application directory, made from the template when missing).
    int AbrirAuxiliar(const std::string& nombreArchivo, engine::Error* error = nullptr);
    // Forgets both databases; a window or a job holding one keeps it.
    void SoltarBases();
    // Closes both databases unless some work still runs (a worker that ignored its interrupt
    // lets go of them on its own), and forgets them.
    void CerrarBases();
    // The help page of the open database (apertura.h, RutaAyudaBD); empty when none.
    std::filesystem::path RutaAyuda() const;

    // Teacher mode, decided once at start-up by the login.
    bool Profesor() const { return profesor_; }
    void FijarProfesor(bool profesor) { profesor_ = profesor; }

    // The language offset of the string table: 0 Spanish, 10000 Valencian.
    std::int32_t DesplazamientoIdioma() const;
    bool Valenciano() const { return DesplazamientoIdioma() != 0; }
    void FijarDesplazamientoIdioma(std::int32_t desplazamiento);
    // The language of the settings (the setting created when missing).
    void LeerIdioma();

    // Where work on the engine runs off the window thread.
    Ejecutor& Motor() { return *ejecutor_; }

  private:
    BasesAbiertas Bases() const;

    mutable std::mutex m_;  // the databases, read by workers that write files
    std::shared_ptr<engine::Database> usuario_, auxiliar_;
    // The Access file the user database was converted from, kept from being written over.
    std::unique_ptr<ArchivoProtegido> origen_;
    std::atomic<bool> profesor_{false};
    std::unique_ptr<Ejecutor> ejecutor_;
};

}  // namespace veliora
