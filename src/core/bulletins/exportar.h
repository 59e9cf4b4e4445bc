#pragma once
// Writing a bulletin out for printing or handing out: plain text in one of two layouts,
// or the same layouts as an HTML page (the PDF form is made from that page).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/bulletins/boletines.h"
#include "core/engine/database.h"

namespace veliora {

enum class Disposicion {
    Continuas,  // all the questions, then all the answers
    Separadas,  // each question followed by its answer
};
enum class FormatoExportacion { Texto, Html, Pdf };

// The text file's bytes: UTF-8, every line ended by CR LF.
std::string TextoBoletin(const std::vector<LineaBoletin>& lineas, Disposicion disposicion);
// A complete UTF-8 HTML page with the same layout, titled with the bulletin's name.
std::string HtmlBoletin(std::string_view nombre, const std::vector<LineaBoletin>& lineas,
                        Disposicion disposicion);

// Whether a bulletin name can be used as a file name in the application directory: not
// empty, not "." or "..", no path separator, no control character.
bool NombreArchivoSeguro(std::string_view nombre);
// ".TXT", ".HTM" or ".PDF".
const char* ExtensionExportacion(FormatoExportacion formato);
// Application directory / name + its extension. Empty when the name is unsafe.
std::filesystem::path RutaExportacion(std::string_view nombre, FormatoExportacion formato);

// Reads the bulletin's lines (in ascending number) and writes its text or HTML form to
// `destino` through EscribirSalida (core/shell/salidas.h), which refuses a destination that
// holds data. PDF is not written here (see pdf/pdf.h).
bool ExportarBoletin(engine::Database& auxiliar, std::string_view nombre, Disposicion disposicion,
                     FormatoExportacion formato, const std::filesystem::path& destino,
                     engine::Error& error);

}  // namespace veliora
