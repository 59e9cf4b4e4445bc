#include "ui/shell/frmVLRConvertirAccess.h"

#include <QEventLoop>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>

#include "core/access/conversion.h"
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
    std::atomic<bool> cancelar{false};
    std::atomic<long long> hechas{0}, total{0};
    access::Conversion& resultado = resultado_;
    bool ok = false;
    const std::string ruta = ruta_.toStdString();

    QEventLoop bucle;
    QThread* hilo = QThread::create([&] {
        ok = access::Preparar(ruta, CarpetaConversiones(), resultado, error,
                              [&](long long h, long long t) {
                                  hechas = h;
                                  total = t;
                                  return !cancelar.load();
                              });
    });
    connect(hilo, &QThread::finished, &bucle, &QEventLoop::quit);
    QTimer reloj;
    connect(&reloj, &QTimer::timeout, this, [&] {
        if (wasCanceled())  // the button, Escape or closing the dialog
            cancelar = true;
        const long long t = total.load();
        if (t > 0)
            setValue(int(std::min<long long>(kPasos, hechas.load() * kPasos / t)));
    });
    reloj.start(100);
    hilo->start();
    bucle.exec();
    hilo->wait();
    delete hilo;
    reloj.stop();
    reset();
    return ok;
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
