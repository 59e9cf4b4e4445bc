#include "ui/shell/mensajes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include "core/base/textos.h"
#include "core/shell/errores.h"
#include "ui/shell/texto.h"

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
    QMessageBox::StandardButtons estandar = QMessageBox::Ok;
    if (botones == Botones::SiNo || botones == Botones::SiNoPorDefectoNo)
        estandar = QMessageBox::Yes | QMessageBox::No;
    else if (botones == Botones::SiNoTodos)
        estandar = QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll;
    QMessageBox box(IconoQt(icono), titulo, texto, estandar,
                    padre ? padre : QApplication::activeWindow());
    if (botones == Botones::SiNoPorDefectoNo)
        box.setDefaultButton(QMessageBox::No);
    // The buttons speak the program's language, whatever the desktop's locale.
    if (QAbstractButton* b = box.button(QMessageBox::Ok))
        b->setText(QString::fromStdString(Texto(1165)));
    if (QAbstractButton* b = box.button(QMessageBox::Yes))
        b->setText(QStringLiteral("Sí"));
    if (QAbstractButton* b = box.button(QMessageBox::No))
        b->setText(QStringLiteral("No"));
    if (QAbstractButton* b = box.button(QMessageBox::YesToAll))
        b->setText(QString::fromStdString(Texto(1458)));
    int r = box.exec();
    if (botones == Botones::Aceptar)
        return Respuesta::Aceptar;
    if (r == QMessageBox::YesToAll)
        return Respuesta::SiATodos;
    return r == QMessageBox::Yes ? Respuesta::Si : Respuesta::No;
}

void FijarInterceptorMensajes(Interceptor interceptor) {
    InterceptorActual() = std::move(interceptor);
}

CapturaMensajes::CapturaMensajes(Respuesta respuestaSiNo) : respuesta_(respuestaSiNo) {
    FijarInterceptorMensajes([this](const MensajeMostrado& m) {
        mensajes_.push_back(m);
        return m.botones == Botones::Aceptar ? Respuesta::Aceptar : respuesta_;
    });
}

CapturaMensajes::~CapturaMensajes() {
    FijarInterceptorMensajes({});
}

QString TextoError(const engine::Error& error, FormaError forma, const QString& paso) {
    const QString numero = QString::number(NumeroDeError(error));
    const std::string descripcion = TextoDeError(error);
    const QString texto = QString::fromStdString(descripcion);
    const QString fin = QStringLiteral("\r\n");
    switch (forma) {
        case FormaError::DosPuntos:
            return T(2208).arg(numero, texto);
        case FormaError::Compacta:
            return T(2209).arg(numero, texto);
        case FormaError::EnPaso:
            return T(2210).arg(numero, paso, texto);
        case FormaError::Aviso:
            return T(605) + numero + fin + texto;
        case FormaError::DeArchivo:
            return T(2212).arg(numero) + QStringLiteral(" ") + fin + Visible(descripcion);
        case FormaError::DeImportacion:
            return T(2211).arg(numero) + QStringLiteral(" ") + Visible(descripcion);
    }
    return texto;
}

}  // namespace veliora::ui
