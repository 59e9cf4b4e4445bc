#pragma once
// PDF form of an exported bulletin: its HTML page laid out on A4 pages. Needs a
// QGuiApplication (fonts), which the windows have and the command line creates for it.

#include <filesystem>
#include <string_view>

#include "core/bulletins/exportar.h"
#include "core/engine/database.h"

namespace veliora {

// Writes the page to `destino` through EscribirSalida (core/shell/salidas.h).
bool EscribirPdf(std::string_view html, const std::filesystem::path& destino, engine::Error& error);

// ExportarBoletin for every format, PDF included.
bool ExportarBoletinFormato(engine::Database& auxiliar, std::string_view nombre,
                            Disposicion disposicion, FormatoExportacion formato,
                            const std::filesystem::path& destino, engine::Error& error);

}  // namespace veliora
