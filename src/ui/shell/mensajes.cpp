#include "ui/shell/mensajes.h"

#include <QApplication>
#include <QMessageBox>

namespace veliora::ui {

namespace {
Interceptor& InterceptorActual() {
    static Interceptor interceptor;
    return interceptor;
}

QMessageBox::Icon IconoQt(Icono icono) {
    switch (icono) {
        case Icono::Informacion:
            return QMessageBox::Information;
        case Icono::Exclamacion:
            return QMessageBox::Warning;
        case Icono::Critico:
            return QMessageBox::Critical;
        case Icono::Ninguno:
            break;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

Respuesta Mensaje(const QString& texto, Icono icono, Botones botones, const QString& titulo,
                  QWidget* padre) {
    if (InterceptorActual())
        return InterceptorActual()({texto, icono, botones, titulo});
    QMessageBox box(
        IconoQt(icono), titulo, texto,
        botones == Botones::SiNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
        padre ? padre : QApplication::activeWindow());
    int r = box.exec();
    if (botones == Botones::Aceptar)
        return Respuesta::Aceptar;
    return r == QMessageBox::Yes ? Respuesta::Si : Respuesta::No;
}

void FijarInterceptorMensajes(Interceptor interceptor) {
    InterceptorActual() = std::move(interceptor);
}

CapturaMensajes::CapturaMensajes(Respuesta respuestaSiNo) : respuesta_(respuestaSiNo) {
    FijarInterceptorMensajes([this](const MensajeMostrado& m) {
        mensajes_.push_back(m);
        return m.botones == Botones::SiNo ? respuesta_ : Respuesta::Aceptar;
    });
}

CapturaMensajes::~CapturaMensajes() {
    FijarInterceptorMensajes({});
}

}  // namespace veliora::ui
