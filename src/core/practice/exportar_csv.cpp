#include "core/practice/exportar_csv.h"

#include <QSaveFile>
#include <QString>
#include <cerrno>
#include <string>

namespace veliora {

namespace {

bool Escribir(QSaveFile& archivo, const std::string& linea, engine::EngineError& error) {
    if (archivo.write(linea.data(), qint64(linea.size())) == qint64(linea.size()))
        return true;
    error = {EIO, archivo.errorString().toStdString(), {}};
    return false;
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
                 std::atomic<std::size_t>& filas, engine::EngineError& error) {
    error.clear();
    filas = 0;
    auto rs = bd.OpenForwardOnly(sql, error);
    if (!rs)
        return false;
    QSaveFile archivo(QString::fromStdString(destino.string()));
    archivo.setDirectWriteFallback(false);
    if (!archivo.open(QIODevice::WriteOnly)) {
        error = {EIO, archivo.errorString().toStdString(), {}};
        return false;
    }
    std::string linea;
    for (int i = 0; i < rs->FieldCount(); ++i) linea += (i ? "," : "") + CampoCsv(rs->FieldName(i));
    if (!Escribir(archivo, linea + "\r\n", error))
        return false;
    for (; !rs->Eof(); rs->MoveNext()) {
        linea.clear();
        for (int i = 0; i < rs->FieldCount(); ++i)
            linea += (i ? "," : "") + CampoCsv(TextoCsv(rs->Field(i)));
        if (!Escribir(archivo, linea + "\r\n", error))
            return false;
        ++filas;
    }
    if (rs->Error().failed()) {
        error = rs->Error();
        return false;  // the temporary file goes with `archivo`
    }
    if (!archivo.commit()) {
        error = {EIO, archivo.errorString().toStdString(), {}};
        return false;
    }
    return true;
}

}  // namespace veliora
