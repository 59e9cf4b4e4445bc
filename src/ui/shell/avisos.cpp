#include "ui/shell/avisos.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMdiArea>
#include <QRegularExpression>
#include <QStatusBar>

#include "core/shell/registro.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

namespace {

constexpr int kDuracionAviso = 10000;  // ms

QString& Ultimo() {
    static QString ultimo;
    return ultimo;
}

RespuestaRuta& Respuesta() {
    static RespuestaRuta respuesta;
    return respuesta;
}

std::string ValorCarpeta(const QString& clase) {
    return "CARPETA_" + clase.toUpper().toStdString();
}

// The extension of a filter such as "Imagen PNG (*.png)": ".png".
QString Extension(const QString& filtro) {
    const auto m = QRegularExpression(QStringLiteral("\\*(\\.[A-Za-z0-9]+)")).match(filtro);
    return m.hasMatch() ? m.captured(1) : QString();
}

}  // namespace

void Avisar(const QString& texto) {
    Ultimo() = texto;
    if (QMdiArea* area = AreaMdi())
        if (auto* principal = qobject_cast<QMainWindow*>(area->window()))
            principal->statusBar()->showMessage(texto, kDuracionAviso);
}

QString UltimoAviso() {
    return Ultimo();
}

void FijarRespuestaRuta(RespuestaRuta respuesta) {
    Respuesta() = std::move(respuesta);
}

QString PedirRutaGuardar(QWidget* padre, const QString& titulo, const QString& clase,
                         const QString& sugerido, const QStringList& filtros,
                         const QString& carpetaInicial) {
    std::string guardada;
    QString carpeta = GetKeyValue(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion,
                                  ValorCarpeta(clase), guardada)
                          ? QString::fromStdString(guardada)
                          : carpetaInicial;
    if (carpeta.isEmpty() || !QFileInfo(carpeta).isDir())
        carpeta = QDir::homePath();
    const QString sugerida = QDir(carpeta).filePath(sugerido);
    QString filtro;
    QString ruta = Respuesta()
                       ? Respuesta()(sugerida)
                       : QFileDialog::getSaveFileName(padre, titulo, sugerida,
                                                      filtros.join(QStringLiteral(";;")), &filtro);
    if (ruta.isEmpty())
        return {};
    if (QFileInfo(ruta).suffix().isEmpty())
        ruta += Extension(filtro.isEmpty() ? filtros.value(0) : filtro);
    GuardarValor(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, ValorCarpeta(clase),
                 QFileInfo(ruta).absolutePath().toStdString());
    return ruta;
}

}  // namespace veliora::ui
