#include "ui/aula/envio_clase.h"

#include <QCoreApplication>
#include <QTimer>

#include "core/aula/membresia.h"
#include "core/aula/textos.h"
#include "core/shell/directorio.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

namespace {
constexpr int kPeriodoEnvio = 30'000;  // ms between sends while attempts wait
}

EnvioClase& EnvioClase::Instancia() {
    static EnvioClase* unica = nullptr;
    if (!unica) {
        unica = new EnvioClase();
        // Ended (its thread joined) with the application, before the globals it uses.
        if (QCoreApplication* aplicacion = QCoreApplication::instance())
            QObject::connect(aplicacion, &QObject::destroyed, [] {
                delete unica;
                unica = nullptr;
            });
    }
    return *unica;
}

EnvioClase::EnvioClase() : trabajador_(new QObject), reloj_(new QTimer(this)) {
    trabajador_->moveToThread(&hilo_);
    hilo_.start();
    connect(reloj_, &QTimer::timeout, this, [this] {
        if (!Ocupado())
            Enviar();
    });
    reloj_->start(kPeriodoEnvio);
}

EnvioClase::~EnvioClase() {
    hilo_.quit();
    hilo_.wait();
    delete trabajador_;  // its thread has ended: nothing of it runs any more
}

void EnvioClase::Encolar(std::function<void(aula::Remitente&, aula::Error&)> paso) {
    ++enCurso_;
    const std::filesystem::path directorio = DirectorioAplicacion();
    QMetaObject::invokeMethod(trabajador_, [this, directorio, paso = std::move(paso)] {
        if (!remitente_ || directorio_ != directorio) {
            remitente_ = std::make_unique<aula::Remitente>(directorio);
            directorio_ = directorio;
        }
        aula::Error error;
        paso(*remitente_, error);
        aula::EstadoEnvio estado;
        if (!error.failed())
            estado = remitente_->Enviar(error);
        else
            estado.pendientes = remitente_->Pendientes(error);
        aula::Error sinClase;
        const auto membresia = aula::LeerMembresia(directorio, sinClase);
        const std::string nombre = membresia ? membresia->nombreClase : std::string();
        QMetaObject::invokeMethod(this, [this, nombre, estado, error, unida = bool(membresia)] {
            estado_ = unida ? T(2329).arg(QString::fromStdString(nombre)).arg(estado.pendientes)
                            : QString();
            fallo_ = unida && error.failed() ? QString::fromStdString(aula::ExplicarFallo(error)) +
                                                   QLatin1Char('\n') + T(2360)
                                             : QString();
            --enCurso_;
            emit cambiado();
        });
    });
}

void EnvioClase::Registrar(aula::Intento intento) {
    Encolar([intento = std::move(intento)](aula::Remitente& remitente, aula::Error& error) {
        remitente.Anotar(intento, error);
    });
}

void EnvioClase::Enviar() {
    Encolar([](aula::Remitente&, aula::Error&) {});
}

void EnvioClase::BuscarVersionNueva() {
    const std::filesystem::path directorio = DirectorioAplicacion();
    QMetaObject::invokeMethod(trabajador_, [this, directorio] {
        aula::Error error;
        const auto membresia = aula::LeerMembresia(directorio, error);
        if (!membresia)
            return;
        auto almacen =
            aula::AlmacenAlumno(directorio, membresia->servidor, membresia->clase, error);
        const auto nueva = almacen ? aula::VersionNueva(*almacen, *membresia, error) : std::nullopt;
        // Unreachable now: the next start asks again.
        if (nueva)
            QMetaObject::invokeMethod(this, [this, v = nueva->version] { emit versionNueva(v); });
    });
}

}  // namespace veliora::ui
