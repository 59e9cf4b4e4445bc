// veliora-cli-graficos: the commands that draw, with QtGui loaded (see cli/comun.h).
#include "cli/graficos.h"

#include <cstdio>

#include "cli/comun.h"
#include "pdf/pdf.h"

namespace veliora::cli {

std::unique_ptr<QGuiApplication> AplicacionGrafica() {
    if (QGuiApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char nombre[] = "veliora-cli";
    static char* argv[] = {nombre, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int ExportarBoletinPdf(engine::Database& auxiliar, const std::string& nombre,
                       Disposicion disposicion, const std::filesystem::path& destino) {
    const auto app = AplicacionGrafica();
    engine::Error err;
    if (!ExportarBoletinFormato(auxiliar, nombre, disposicion, FormatoExportacion::Pdf, destino,
                                err)) {
        ImprimirError(err, false);
        return kExitError;
    }
    std::printf("%s\n", destino.string().c_str());
    return kExitOk;
}

}  // namespace veliora::cli
