#pragma once
// The class's sends leave the window thread: a check's attempt is kept in the outbox and
// sent on a thread of their own, so a server that does not answer never holds a window nor
// the engine. The status bar shows the class and what is still to send.

#include <QObject>
#include <QString>
#include <QThread>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/aula/almacen.h"
#include "core/aula/clase.h"

class QTimer;

namespace veliora::ui {

class EnvioClase : public QObject {
    Q_OBJECT
  public:
    // The program's one sender, made on first use and ended with the application.
    static EnvioClase& Instancia();
    ~EnvioClase() override;

    // Keeps the attempt in the outbox of the joined class (nothing when none was joined) and
    // sends what is pending.
    void Registrar(aula::Intento intento);
    // Sends what is pending: at start, after a join, and every half minute.
    void Enviar();
    // Asks the server for a newer published version; versionNueva tells when there is one.
    void BuscarVersionNueva();

    // "Clase: NOMBRE · N pendientes"; empty when this machine has joined no class.
    QString Estado() const { return estado_; }
    // Why attempts were left in the outbox the last time; empty when none was.
    QString Fallo() const { return fallo_; }
    // Something handed over is not dealt with yet.
    bool Ocupado() const { return enCurso_ > 0; }

  signals:
    void cambiado();
    void versionNueva(int version);

  private:
    EnvioClase();
    // Runs `paso` and a send on the sending thread, then shows where the outbox stands.
    void Encolar(std::function<void(aula::Remitente&, aula::Error&)> paso);

    QThread hilo_;
    QObject* trabajador_;  // lives on hilo_: what it runs, runs there, one after another
    std::unique_ptr<aula::Remitente> remitente_;  // used on hilo_ alone
    std::filesystem::path directorio_;            // of remitente_
    QTimer* reloj_;
    QString estado_, fallo_;
    int enCurso_ = 0;
};

}  // namespace veliora::ui
