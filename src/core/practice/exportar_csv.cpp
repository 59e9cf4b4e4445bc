#include "core/practice/exportar_csv.h"

#include <string>

#include "core/shell/salidas.h"

namespace veliora {

namespace {

// Lines gathered into blocks: one write per block, not per row.
bool Escribir(EscrituraSegura& archivo, std::string& pendiente, const std::string& linea,
              engine::Error& error, bool ultima = false) {
    pendiente += linea;
    if (pendiente.size() < (std::size_t(1) << 16) && !ultima)
        return true;
    const bool escrito = archivo.Escribir(pendiente, error);
    pendiente.clear();
    return escrito;
}

// A value as a CSV field's text: bytes of a blob in hexadecimal, so that no control character
// breaks the file.
std::string TextoCsv(const engine::Value& v) {
    if (v.type != engine::ValueType::Blob)
        return v.toPlainText();
    static constexpr char kCifras[] = "0123456789ABCDEF";
    std::string s = "0x";
    for (unsigned char c : v.text) {
        s += kCifras[c >> 4];
        s += kCifras[c & 15];
    }
    return s;
}

}  // namespace

std::string CampoCsv(std::string_view texto) {
    if (texto.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(texto);
    std::string s = "\"";
    for (char c : texto) {
        if (c == '"')
            s += '"';
        s += c;
    }
    return s + '"';
}

bool ExportarCsv(engine::Database& bd, std::string_view sql, const std::filesystem::path& destino,
                 std::atomic<std::size_t>& filas, engine::Error& error) {
    error.clear();
    filas = 0;
    auto rs = bd.OpenForwardOnly(sql, error);
    if (!rs)
        return false;
    // Checked and written as every file the user chooses: never onto a database or through
    // a link, under a temporary name renamed at the end (removed if the reading fails).
    EscrituraSegura archivo;
    if (!archivo.Abrir(destino, error))
        return false;
    std::string linea, pendiente;
    for (int i = 0; i < rs->FieldCount(); ++i) linea += (i ? "," : "") + CampoCsv(rs->FieldName(i));
    if (!Escribir(archivo, pendiente, linea + "\r\n", error))
        return false;
    for (; !rs->Eof(); rs->MoveNext()) {
        linea.clear();
        for (int i = 0; i < rs->FieldCount(); ++i)
            linea += (i ? "," : "") + CampoCsv(TextoCsv(rs->Field(i)));
        if (!Escribir(archivo, pendiente, linea + "\r\n", error))
            return false;
        ++filas;
    }
    if (rs->Error().failed()) {
        error = rs->Error();
        return false;
    }
    if (!Escribir(archivo, pendiente, {}, error, true))
        return false;
    return archivo.Confirmar(error);
}

}  // namespace veliora
