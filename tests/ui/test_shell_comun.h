#pragma once
// Shared by the shell's window tests: a fresh application object and application directory
// per test, and small databases.

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QString>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "core/app/aplicacion.h"
#include "core/shell/directorio.h"
#include "core/shell/registro.h"
#include "support/fixtures.h"
#include "ui/shell/frmVLRMdi.h"

namespace veliora::test {

// A new application object (no database, student, Spanish) and a new, seeded application
// directory.
class EntornoShell {
  public:
    EntornoShell() {
        home_ = std::make_unique<TempHome>();
        SembrarDirectorioAplicacion();
    }
    const std::filesystem::path& home() const { return home_->path(); }

    // A small user database at `ruta` (folders created).
    static std::filesystem::path CrearBD(
        const std::filesystem::path& ruta,
        const std::string& sql =
            "CREATE TABLE Alumnos(Id INTEGER PRIMARY KEY, Nombre TEXT);"
            "INSERT INTO Alumnos VALUES (1, 'Ana'), (2, 'Luis');") {
        std::filesystem::create_directories(ruta.parent_path());
        BuildDatabase(ruta, sql);
        return ruta;
    }

    // Writes the language setting as the language window would.
    static void FijarIdioma(const std::string& valor) {
        GuardarValor(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorIdioma, valor);
    }

  private:
    Aplicacion aplicacion_;
    std::unique_ptr<TempHome> home_;
};

inline QString Q(const std::filesystem::path& ruta) {
    return QString::fromStdString(ruta.string());
}

// Opens `ruta` in the main window and waits for the opening to end: true when it opened.
inline bool Abrir(ui::frmVLRMdi& w, const QString& ruta) {
    QSignalSpy abierta(&w, &ui::frmVLRMdi::baseAbierta);
    w.AbrirBaseDatos(ruta);
    if (abierta.isEmpty() && !abierta.wait(120000)) {
        QTest::qFail("the opening never ended", __FILE__, __LINE__);
        return false;
    }
    return abierta.first().first().toBool();
}

// Deletes the windows closed so far, as the event loop would.
inline void BorrarCerradas() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace veliora::test
