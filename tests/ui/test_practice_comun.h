#pragma once
// Shared by the practice window tests: the shell's fresh application directory with a small
// user database and its auxiliary database open as the program opens them, and helpers to
// find controls and drive modal dialogs.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>

#include "core/base/rutinas.h"
#include "core/bulletins/encriptar.h"
#include "core/bulletins/mantenimiento.h"
#include "core/engine/database.h"
#include "core/session/apertura.h"
#include "core/shell/errores.h"
#include "test_shell_comun.h"

namespace veliora::test {

inline constexpr const char* kAlumnos = R"sql(
CREATE TABLE Alumnos (Id INTEGER PRIMARY KEY, Nombre TEXT, Nota DOUBLE, Curso TEXT);
INSERT INTO Alumnos VALUES (1, 'Ana', 7.5, '1A'), (2, 'Luis', 5, '1B'), (3, 'Eva', NULL, '1A');
)sql";

// A query that never ends by itself: only an interrupt or the time limit stops it.
inline constexpr const char* kSinFin =
    "with recursive r(n) as (select 1 union all select n + 1 from r) select count(*) from r";

class EntornoPractica : public EntornoShell {
  public:
    // Opens the given user database (a small one of its own when empty) and its auxiliary
    // database; sets the teacher mode.
    explicit EntornoPractica(bool profesor = false, std::filesystem::path usuario = {}) {
        Aplicacion::Actual().FijarProfesor(profesor);
        SembrarAleatorio(20240611);
        if (usuario.empty())
            usuario = CrearBD(home() / "datos" / "alumnos.db", kAlumnos);
        usuario_ = usuario;
        original_ = ReadBytes(usuario_);
        engine::Error err;
        if (Aplicacion::Actual().AbrirUsuario(usuario_.string(), &err) != 0 ||
            Aplicacion::Actual().AbrirAuxiliar(usuario_.filename().string(), &err) != 0)
            throw std::runtime_error("cannot open the databases: " + veliora::TextoDeError(err));
    }
    const std::filesystem::path& usuario() const { return usuario_; }
    // The user's file has not changed since the environment opened it.
    bool UsuarioIntacto() const { return ReadBytes(usuario_) == original_; }

    // A bulletin header and its lines (texts stored scrambled, as the program stores them).
    static void CrearBoletin(const std::string& nombre,
                             const std::vector<std::pair<std::string, std::string>>& lineas) {
        engine::Error err;
        veliora::CrearBoletin(*Aplicacion::Actual().Auxiliar(), nombre, err);
        int numero = 0;
        for (const auto& [pregunta, sql] : lineas) {
            numero += 2;  // gaps on purpose: positions, not numbers, drive the labels
            InsertarLinea(*Aplicacion::Actual().Auxiliar(), nombre, numero, pregunta, sql, err);
        }
    }

  private:
    std::filesystem::path usuario_;
    std::string original_;
};

template <class T = QWidget>
T* Control(QWidget* ventana, const char* nombre) {
    T* c = ventana->findChild<T*>(QString::fromLatin1(nombre));
    if (!c)
        qWarning("control %s not found", nombre);
    return c;
}

// Runs `accion` on the next modal dialog as soon as it is up (and `listo` holds for it).
inline void AlAbrirseModal(std::function<bool(QWidget*)> listo,
                           std::function<void(QWidget*)> accion) {
    auto* sondeo = new QTimer;
    sondeo->setInterval(5);
    QObject::connect(sondeo, &QTimer::timeout, sondeo, [sondeo, listo, accion] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !listo(modal))
            return;
        sondeo->stop();
        sondeo->deleteLater();
        accion(modal);
    });
    sondeo->start();
}

}  // namespace veliora::test
