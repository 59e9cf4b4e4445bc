#include "core/aula/membresia.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <sstream>

#include "core/aula/archivos.h"
#include "core/aula/interno.h"

namespace veliora::aula {

namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QJsonObject& o, const char* clave) {
    return o.value(QLatin1String(clave)).toString().toStdString();
}

}  // namespace

std::string Secreto(const std::string& codigo, const std::string& alumno,
                    const std::string& contrasena) {
    return interno::Sha256Hex("veliora\n" + NormalizarCodigo(codigo) + "\n" + alumno + "\n" +
                              contrasena);
}

fs::path RutaMembresia(const fs::path& directorio) {
    return directorio / "clase.json";
}

std::optional<Membresia> LeerMembresia(const fs::path& directorio, Error& error) {
    const fs::path ruta = RutaMembresia(directorio);
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(ruta, ec))) {
        error = {Fallo::SinClase, {}};
        return std::nullopt;
    }
    std::ifstream entrada(ruta, std::ios::binary);
    std::ostringstream texto;
    texto << entrada.rdbuf();
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(texto.str())).object();
    Membresia m{S(o, "servidor"), S(o, "clase"), S(o, "nombre_clase"),       S(o, "alumno"),
                S(o, "secreto"),  S(o, "bd"),    o.value("version").toInt(), S(o, "hash")};
    if (m.clase.empty() || m.alumno.empty() || m.secreto.empty()) {
        error = {Fallo::SinClase, ruta.string()};
        return std::nullopt;
    }
    // A file made readable by others since (a copy, an archive) is made private again.
    fs::permissions(ruta, fs::perms::owner_read | fs::perms::owner_write, ec);
    return m;
}

bool GuardarMembresia(const fs::path& directorio, const Membresia& m, Error& error) {
    QJsonObject o{
        {"servidor", Q(m.servidor)}, {"clase", Q(m.clase)},     {"nombre_clase", Q(m.nombreClase)},
        {"alumno", Q(m.alumno)},     {"secreto", Q(m.secreto)}, {"bd", Q(m.bd)},
        {"version", m.version},      {"hash", Q(m.hash)}};
    const QByteArray json = QJsonDocument(o).toJson();
    return EscribirArchivo(RutaMembresia(directorio), std::string_view(json.data(), json.size()),
                           fs::perms::owner_read | fs::perms::owner_write, error);
}

}  // namespace veliora::aula
