#include "pdf/pdf.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <QTextDocument>

#include "core/shell/salidas.h"

namespace veliora {

bool EscribirPdf(std::string_view html, const std::filesystem::path& destino,
                 engine::Error& error) {
    error.clear();
    // Checked before the pages are laid out, and again when they are written.
    if (!ComprobarDestino(destino, error))
        return false;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        QTextDocument documento;
        documento.setHtml(QString::fromUtf8(html.data(), qsizetype(html.size())));
        documento.print(&pdf);
    }
    return EscribirSalida(destino, std::string_view(bytes.constData(), std::size_t(bytes.size())),
                          error);
}

bool ExportarBoletinFormato(engine::Database& auxiliar, std::string_view nombre,
                            Disposicion disposicion, FormatoExportacion formato,
                            const std::filesystem::path& destino, engine::Error& error) {
    if (formato != FormatoExportacion::Pdf)
        return ExportarBoletin(auxiliar, nombre, disposicion, formato, destino, error);
    const auto lineas = LeerBoletin(auxiliar, nombre, error);
    return !error.failed() && EscribirPdf(HtmlBoletin(nombre, lineas, disposicion), destino, error);
}

}  // namespace veliora
