#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QUuid>
#include <algorithm>
#include <chrono>

#include "core/aula/interno.h"

namespace veliora::aula {

Instante Ahora() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

const char* CodigoFallo(Fallo fallo) {
    switch (fallo) {
        case Fallo::Ninguno:
            return "";
        case Fallo::SinRespuesta:
            return "unreachable";
        case Fallo::Acceso:
            return "login";
        case Fallo::ClaseDesconocida:
            return "no_class";
        case Fallo::Contrasena:
            return "password";
        case Fallo::Permiso:
            return "permission";
        case Fallo::EsquemaNuevo:
            return "newer_schema";
        case Fallo::EsquemaAntiguo:
            return "older_schema";
        case Fallo::SinMaterial:
            return "nothing_published";
        case Fallo::HashDistinto:
            return "hash";
        case Fallo::Archivo:
            return "file";
        case Fallo::SinClase:
            return "not_joined";
        case Fallo::Nombre:
            return "name";
        case Fallo::Almacen:
            return "store";
    }
    return "store";
}

const char* NombreMejor(Mejor mejor) {
    switch (mejor) {
        case Mejor::Correcto:
            return "correcto";
        case Mejor::CorrectoSoloAqui:
            return "correcto_solo_aqui";
        case Mejor::Incorrecto:
            break;
    }
    return "incorrecto";
}

Mejor MejorDeVeredicto(const std::string& veredicto) {
    if (veredicto == "correcto")
        return Mejor::Correcto;
    if (veredicto == "correcto_solo_aqui")
        return Mejor::CorrectoSoloAqui;
    return Mejor::Incorrecto;
}

std::optional<std::string> NormalizarNombre(const std::string& nombre, Error& error) {
    const auto inicio = nombre.find_first_not_of(" \t");
    const auto fin = nombre.find_last_not_of(" \t");
    std::string limpio = inicio == std::string::npos ? "" : nombre.substr(inicio, fin - inicio + 1);
    const bool control = std::any_of(limpio.begin(), limpio.end(),
                                     [](unsigned char c) { return c < 0x20 || c == 0x7f; });
    if (limpio.empty() || control || QString::fromStdString(limpio).size() > 100) {
        error = {Fallo::Nombre, nombre};
        return std::nullopt;
    }
    return limpio;
}

std::string NormalizarCodigo(const std::string& codigo) {
    std::string limpio;
    for (unsigned char c : codigo)
        if (c != ' ' && c != '-' && c != '\t')
            limpio += char(std::toupper(c));
    return limpio;
}

namespace interno {

std::string Sha256Hex(std::string_view bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

std::string HashSecreto(std::string_view sal, std::string_view secreto) {
    return Sha256Hex(std::string(sal) + std::string(secreto));
}

std::string BytesAleatorios(int n) {
    std::string bytes(std::size_t(n), '\0');
    for (auto& b : bytes) b = char(QRandomGenerator::system()->bounded(256));
    return bytes;
}

std::string NuevoCodigo() {
    static constexpr std::string_view kLetras = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
    std::string codigo;
    for (int i = 0; i < 8; ++i)
        codigo += kLetras[QRandomGenerator::system()->bounded(int(kLetras.size()))];
    return codigo;
}

std::string RolDeClase(const std::string& codigo) {
    std::string rol = "veliora_";
    for (unsigned char c : codigo) rol += char(std::tolower(c));
    return rol;
}

bool ValidarIntento(const Intento& intento, Error& error) {
    const QUuid uuid = QUuid::fromString(QString::fromStdString(intento.uuid));
    std::string motivo;
    if (uuid.isNull() || intento.uuid.size() != 36)
        motivo = "uuid";
    else if (intento.veredicto.empty())
        motivo = "veredicto";
    else if (intento.ModoBoletin() && intento.numero <= 0)
        motivo = "numero";
    if (motivo.empty())
        return true;
    error = {Fallo::Almacen, motivo};
    return false;
}

bool ValidarMaterial(const Material& material, Error& error) {
    if (material.bd.empty() || material.nombreBd.empty()) {
        error = {Fallo::SinMaterial, {}};
        return false;
    }
    return true;
}

Intento LeerIntento(const ColumnasIntento& c) {
    Intento i;
    i.uuid = c.Texto(0);
    i.alumno = c.Texto(1);
    i.hashBd = c.Texto(2);
    i.boletin = c.Texto(3);
    i.numero = int(c.Entero(4).value_or(0));
    i.pregunta = c.Texto(5);
    i.solucion = c.Texto(6);
    i.respuesta = c.Texto(7);
    i.veredicto = c.Texto(8);
    i.motivo = c.Texto(9);
    i.filasRespuesta = c.Entero(10);
    i.filasSolucion = c.Entero(11);
    i.columnasRespuesta = c.Entero(12);
    i.columnasSolucion = c.Entero(13);
    i.mostrada = c.Entero(14).value_or(0);
    i.comprobada = c.Entero(15).value_or(0);
    i.versionPrograma = c.Texto(16);
    return i;
}

void AnadirFila(Seguimiento& seguimiento, const std::string& alumno,
                const std::optional<std::string>& boletin, int numero, int intentos, int correctos,
                int mejor) {
    if (seguimiento.empty() || seguimiento.back().alumno != alumno)
        seguimiento.push_back({alumno, 0, 0, {}});
    FilaSeguimiento& fila = seguimiento.back();
    fila.intentos += intentos;
    fila.correctos += correctos;
    if (boletin && intentos > 0)
        fila.preguntas[{*boletin, numero}] = {Mejor(std::clamp(mejor, 1, 3)), intentos};
}

}  // namespace interno

}  // namespace veliora::aula
