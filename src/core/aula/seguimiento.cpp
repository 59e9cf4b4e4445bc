#include "core/aula/seguimiento.h"

#include <algorithm>
#include <set>

#include "core/base/textos.h"

namespace veliora::aula {

namespace {

std::string Campo(const std::string& texto) {
    if (texto.find_first_of(",\"\r\n") == std::string::npos)
        return texto;
    std::string campo = "\"";
    for (char c : texto) campo += c == '"' ? std::string("\"\"") : std::string(1, c);
    return campo + "\"";
}

}  // namespace

std::vector<ClavePregunta> ColumnasSeguimiento(const Seguimiento& seguimiento,
                                               const std::vector<ClavePregunta>& ademas) {
    std::set<ClavePregunta> columnas(ademas.begin(), ademas.end());
    for (const FilaSeguimiento& fila : seguimiento)
        for (const auto& [pregunta, celda] : fila.preguntas) columnas.insert(pregunta);
    return {columnas.begin(), columnas.end()};
}

std::string NombrePregunta(const ClavePregunta& pregunta) {
    return pregunta.first + "/" + std::to_string(pregunta.second);
}

std::string TextoMejor(Mejor mejor) {
    switch (mejor) {
        case Mejor::Correcto:
            return Texto(2333);
        case Mejor::CorrectoSoloAqui:
            return Texto(2334);
        case Mejor::Incorrecto:
            break;
    }
    return Texto(2335);
}

std::string CsvSeguimiento(const Seguimiento& seguimiento,
                           const std::vector<ClavePregunta>& columnas) {
    std::string csv = Campo(Texto(2330)) + "," + Campo(Texto(2331)) + "," + Campo(Texto(2332));
    for (const auto& pregunta : columnas) csv += "," + Campo(NombrePregunta(pregunta));
    csv += "\r\n";
    for (const FilaSeguimiento& fila : seguimiento) {
        csv += Campo(fila.alumno) + "," + std::to_string(fila.intentos) + "," +
               std::to_string(fila.correctos);
        for (const auto& pregunta : columnas) {
            const auto it = fila.preguntas.find(pregunta);
            csv += ",";
            if (it != fila.preguntas.end())
                csv += Campo(TextoMejor(it->second.mejor) + " (" +
                             std::to_string(it->second.intentos) + ")");
        }
        csv += "\r\n";
    }
    return csv;
}

}  // namespace veliora::aula
