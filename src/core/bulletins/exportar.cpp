#include "core/bulletins/exportar.h"

#include <cerrno>

#include "core/shell/directorio.h"
#include "core/shell/salidas.h"

namespace veliora {

namespace {

constexpr std::string_view kSeparador = "----------------------------------------";
constexpr std::string_view kFinLinea = "\r\n";

// A text typed on several lines keeps its breaks, each written as CR LF.
std::string ConFinesCrLf(std::string_view texto) {
    std::string out;
    out.reserve(texto.size());
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == '\r') {
            out += kFinLinea;
            if (i + 1 < texto.size() && texto[i + 1] == '\n')
                ++i;
        } else if (texto[i] == '\n') {
            out += kFinLinea;
        } else {
            out += texto[i];
        }
    }
    return out;
}

std::string Numerada(int numero, std::string_view texto) {
    return std::to_string(numero) + ". " + ConFinesCrLf(texto) + std::string(kFinLinea);
}

std::string EscaparHtml(std::string_view texto) {
    std::string out;
    for (char c : texto) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\r':
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string PreguntaHtml(const LineaBoletin& l) {
    return "<p class=\"pregunta\">" + std::to_string(l.NumPregunta) + ". " +
           EscaparHtml(l.Pregunta) + "</p>\n";
}

std::string RespuestaHtml(const LineaBoletin& l) {
    return "<pre class=\"respuesta\">" + std::to_string(l.NumPregunta) + ". " +
           EscaparHtml(l.Respuesta) + "</pre>\n";
}

}  // namespace

std::string TextoBoletin(const std::vector<LineaBoletin>& lineas, Disposicion disposicion) {
    const std::string vacia(kFinLinea);
    const std::string separador = std::string(kSeparador) + vacia;
    std::string out;
    if (disposicion == Disposicion::Continuas) {
        for (const auto& l : lineas) out += Numerada(l.NumPregunta, l.Pregunta) + vacia + vacia;
        out += separador + vacia;
        for (const auto& l : lineas) out += Numerada(l.NumPregunta, l.Respuesta) + vacia + vacia;
    } else {
        for (const auto& l : lineas) {
            out += Numerada(l.NumPregunta, l.Pregunta) + vacia + vacia;
            out += Numerada(l.NumPregunta, l.Respuesta) + separador + vacia;
        }
    }
    return out;
}

std::string HtmlBoletin(std::string_view nombre, const std::vector<LineaBoletin>& lineas,
                        Disposicion disposicion) {
    std::string out = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                      EscaparHtml(nombre) +
                      "</title>\n<style>\nbody { font-family: sans-serif; }\n"
                      "pre.respuesta { font-family: monospace; white-space: pre-wrap; }\n"
                      "p.pregunta { margin-bottom: 2em; }\n</style>\n</head>\n<body>\n<h1>" +
                      EscaparHtml(nombre) + "</h1>\n";
    if (disposicion == Disposicion::Continuas) {
        for (const auto& l : lineas) out += PreguntaHtml(l);
        out += "<hr>\n";
        for (const auto& l : lineas) out += RespuestaHtml(l);
    } else {
        for (const auto& l : lineas) out += PreguntaHtml(l) + RespuestaHtml(l) + "<hr>\n";
    }
    out += "</body>\n</html>\n";
    return out;
}

bool NombreArchivoSeguro(std::string_view nombre) {
    if (nombre.empty() || nombre == "." || nombre == "..")
        return false;
    for (unsigned char c : nombre) {
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\')
            return false;
    }
    return true;
}

const char* ExtensionExportacion(FormatoExportacion formato) {
    switch (formato) {
        case FormatoExportacion::Html:
            return ".HTM";
        case FormatoExportacion::Pdf:
            return ".PDF";
        case FormatoExportacion::Texto:
            break;
    }
    return ".TXT";
}

std::filesystem::path RutaExportacion(std::string_view nombre, FormatoExportacion formato) {
    if (!NombreArchivoSeguro(nombre))
        return {};
    return DirectorioAplicacion() / (std::string(nombre) + ExtensionExportacion(formato));
}

bool ExportarBoletin(engine::Database& auxiliar, std::string_view nombre, Disposicion disposicion,
                     FormatoExportacion formato, const std::filesystem::path& destino,
                     engine::Error& error) {
    error.clear();
    if (formato == FormatoExportacion::Pdf) {
        error = engine::Failure(engine::Code::PdfFromHtml);
        return false;
    }
    std::vector<LineaBoletin> lineas = LeerBoletin(auxiliar, nombre, error);
    if (error.failed())
        return false;
    const std::string bytes = formato == FormatoExportacion::Html
                                  ? HtmlBoletin(nombre, lineas, disposicion)
                                  : TextoBoletin(lineas, disposicion);
    return EscribirSalida(destino, bytes, error);
}

}  // namespace veliora
