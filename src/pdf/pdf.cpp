#include "pdf/pdf.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QString>
#include <QTextDocument>
#include <cerrno>

namespace veliora {

bool EscribirPdf(std::string_view html, const std::filesystem::path& destino,
                 engine::EngineError& error) {
    error.clear();
    QSaveFile archivo(QString::fromStdString(destino.string()));
    archivo.setDirectWriteFallback(false);
    if (!archivo.open(QIODevice::WriteOnly)) {
        error = {int(archivo.error()), archivo.errorString().toStdString(), {}};
        return false;
    }
    {
        QPdfWriter pdf(&archivo);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        QTextDocument documento;
        documento.setHtml(QString::fromUtf8(html.data(), qsizetype(html.size())));
        documento.print(&pdf);
    }
    if (!archivo.commit()) {
        error = {archivo.error() != QFileDevice::NoError ? int(archivo.error()) : EIO,
                 archivo.errorString().toStdString(),
                 {}};
        return false;
    }
    return true;
}

bool ExportarBoletinFormato(engine::Database& auxiliar, std::string_view nombre,
                            Disposicion disposicion, FormatoExportacion formato,
                            const std::filesystem::path& destino, engine::EngineError& error) {
    if (formato != FormatoExportacion::Pdf)
        return ExportarBoletin(auxiliar, nombre, disposicion, formato, destino, error);
    const auto lineas = LeerBoletin(auxiliar, nombre, error);
    return !error.failed() && EscribirPdf(HtmlBoletin(nombre, lineas, disposicion), destino, error);
}

}  // namespace veliora
