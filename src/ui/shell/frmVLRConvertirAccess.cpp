#include "ui/shell/frmVLRConvertirAccess.h"

#include <QStringList>
#include <algorithm>
#include <atomic>

#include "core/access/conversion.h"
#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/shell/directorio.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

namespace {
constexpr int kPasos = 1000;
}  // namespace

frmVLRConvertirAccess::frmVLRConvertirAccess(const QString& ruta, QWidget* parent)
    : QProgressDialog(parent), ruta_(ruta) {
    setObjectName(QStringLiteral("frmVLRConvertirAccess"));
    setWindowTitle(QStringLiteral("VELIORA"));
    setLabelText(T(1606));
    setCancelButtonText(T(1607));
    setRange(0, kPasos);
    setWindowModality(Qt::WindowModal);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(500);  // an unchanged file is reused at once: no flash of a dialog
}

struct frmVLRConvertirAccess::Estado {
    std::atomic<long long> hechas{0}, total{0};
    access::Conversion resultado;
    engine::Error error;
    bool ok = false;
};

frmVLRConvertirAccess::~frmVLRConvertirAccess() {
    // Once Cancelar returns, the job posts nothing more to this dialog.
    if (encargo_ && !terminada_)
        Aplicacion::Actual().Motor().Cancelar(encargo_);
}

void frmVLRConvertirAccess::Ejecutar(AlTerminar alTerminar) {
    alTerminar_ = std::move(alTerminar);
    estado_ = std::make_shared<Estado>();
    auto tarea = [estado = estado_, ruta = ruta_.toStdString(), carpeta = CarpetaConversiones()] {
        estado->ok = access::Preparar(ruta, carpeta, estado->resultado, estado->error,
                                      [&estado](long long h, long long t) {
                                          estado->hechas = h;
                                          estado->total = t;
                                          return !Ejecutor::Cancelado();
                                      });
        return Ejecutor::Entrega();
    };
    encargo_ = Aplicacion::Actual().Motor().Lanzar(
        nullptr, tarea, [this](Ejecutor::Entrega, std::exception_ptr) {
            QMetaObject::invokeMethod(this, &frmVLRConvertirAccess::Terminar, Qt::QueuedConnection);
        });
    connect(&reloj_, &QTimer::timeout, this, &frmVLRConvertirAccess::Vigilar);
    reloj_.start(100);
}

void frmVLRConvertirAccess::Vigilar() {
    Ejecutor& motor = Aplicacion::Actual().Motor();
    if (wasCanceled())  // the button, Escape or closing the dialog
        motor.Cancelar(encargo_);
    // A cancelled job delivers nothing: its end is seen here.
    if (motor.Terminado(encargo_)) {
        Terminar();
        return;
    }
    const long long t = estado_->total.load();
    if (t > 0)
        setValue(int(std::min<long long>(kPasos, estado_->hechas.load() * kPasos / t)));
}

void frmVLRConvertirAccess::Terminar() {
    if (terminada_)
        return;
    terminada_ = true;
    reloj_.stop();
    reset();
    hide();
    // Cancelled before it started, the job never ran.
    const bool ok = estado_->ok;
    const engine::Error error =
        estado_->error.failed() || ok ? estado_->error : engine::Failure(engine::Code::Cancelled);
    resultado_ = std::move(estado_->resultado);
    // The continuation may delete this dialog.
    if (const AlTerminar alTerminar = std::move(alTerminar_))
        alTerminar(ok, error);
}

QString frmVLRConvertirAccess::Notas(const access::Conversion& c) {
    if (c.reutilizada && c.completa)
        return {};
    QStringList lineas;
    for (const auto& t : c.tablas)
        for (const auto& n : t.notas)
            lineas << QString::fromStdString(t.nombre) + QStringLiteral(": ") +
                          QString::fromStdString(n);
    for (const auto& n : c.notas) lineas << QString::fromStdString(n);
    if (lineas.isEmpty())
        return {};
    lineas.prepend(T(2131));
    if (!c.completa)
        lineas.prepend(T(2132));
    return lineas.join(QStringLiteral("\r\n"));
}

}  // namespace veliora::ui
