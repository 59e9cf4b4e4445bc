#include "ui/shell/frmVLRConvertirAccess.h"

#include <QEventLoop>
#include <QStringList>
#include <QTimer>
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

bool frmVLRConvertirAccess::Ejecutar(engine::Error& error) {
    // Shared with the job, which a cancelled wait may leave behind for a moment.
    struct Estado {
        std::atomic<long long> hechas{0}, total{0};
        access::Conversion resultado;
        engine::Error error;
        bool ok = false;
    };
    auto estado = std::make_shared<Estado>();
    Ejecutor& motor = Aplicacion::Actual().Motor();
    QEventLoop bucle;
    auto tarea = [estado, ruta = ruta_.toStdString(), carpeta = CarpetaConversiones()] {
        estado->ok = access::Preparar(ruta, carpeta, estado->resultado, estado->error,
                                      [&estado](long long h, long long t) {
                                          estado->hechas = h;
                                          estado->total = t;
                                          return !Ejecutor::Cancelado();
                                      });
        return Ejecutor::Entrega();
    };
    const auto encargo = motor.Lanzar(nullptr, tarea, [&bucle](Ejecutor::Entrega, auto) {
        QMetaObject::invokeMethod(&bucle, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer reloj;
    connect(&reloj, &QTimer::timeout, this, [&] {
        if (wasCanceled())  // the button, Escape or closing the dialog
            motor.Cancelar(encargo);
        // A cancelled job delivers nothing: its end is seen here.
        if (motor.Terminado(encargo))
            bucle.quit();
        const long long t = estado->total.load();
        if (t > 0)
            setValue(int(std::min<long long>(kPasos, estado->hechas.load() * kPasos / t)));
    });
    reloj.start(100);
    bucle.exec();
    reloj.stop();
    reset();
    // Cancelled before it started, the job never ran.
    error = estado->error.failed() || estado->ok ? estado->error
                                                 : engine::Failure(engine::Code::Cancelled);
    resultado_ = std::move(estado->resultado);
    return estado->ok;
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
