#include "core/bulletins/boletines.h"

#include "core/base/rutinas.h"
#include "core/base/textos.h"
#include "core/bulletins/encriptar.h"

namespace veliora {

using engine::Value;

int AlmacenarPregunta(engine::Database& auxiliar, std::string_view boletin,
                      std::string_view pregunta, std::string_view sql, engine::Error& error) {
    error.clear();
    std::string caracter;
    auto preguntaCifrada = Encriptar(pregunta, kClaveRespuestas, &caracter);
    auto sqlCifrada = preguntaCifrada ? Encriptar(sql, kClaveRespuestas, &caracter) : std::nullopt;
    if (!preguntaCifrada || !sqlCifrada) {
        error = engine::Failure(engine::Code::TextNotStorable, caracter);
        return 0;
    }

    // Reading the maximum and inserting in one transaction: no other writer can take the
    // same number in between.
    if (!auxiliar.BeginTransaction(error))
        return 0;
    const std::vector<Value> nombre{Value::Text(std::string(boletin))};
    Value maximo = auxiliar.Scalar("Select max(NumPregunta) from LBoletines where NombreBoletin=?",
                                   error, nombre);
    if (error.failed()) {
        auxiliar.Rollback();
        return 0;
    }
    const int numero = int(maximo.toInt()) + 1;  // a null maximum reads as 0
    const bool insertado = auxiliar.Execute(
        "Insert into LBoletines (NombreBoletin, NumPregunta, Pregunta, Respuesta) "
        "values (?, ?, ?, ?)",
        error,
        {Value::Text(std::string(boletin)), Value::Int(numero),
         Value::Blob(std::move(*preguntaCifrada)), Value::Blob(std::move(*sqlCifrada))});
    if (!insertado || error.failed() || !auxiliar.Commit(error)) {
        auxiliar.Rollback();
        return 0;
    }
    return numero;
}

std::vector<LineaBoletin> LeerBoletin(engine::Database& auxiliar, std::string_view boletin,
                                      engine::Error& error) {
    error.clear();
    std::vector<LineaBoletin> lineas;
    auto rs = auxiliar.OpenRecordset(
        "Select NumPregunta, Pregunta, Respuesta from LBoletines Where NombreBoletin = ? "
        "order by NumPregunta",
        error, {Value::Text(std::string(boletin))});
    if (!rs || error.failed())
        return lineas;
    for (; !rs->Eof(); rs->MoveNext()) {
        const Value& numero = rs->Field(0);
        if (numero.type != engine::ValueType::Integer || numero.integer < 1 ||
            numero.integer > kMaxNumPregunta) {
            error = engine::FailureWith(engine::Code::BadLineNumber, kMaxNumPregunta);
            error.detail = TextoVisible(boletin);
            error.value = TextoVisible(numero.toPlainText());
            lineas.clear();
            return lineas;
        }
        lineas.push_back({int(numero.integer), Desencriptar(rs->Field(1).text, kClaveRespuestas),
                          Desencriptar(rs->Field(2).text, kClaveRespuestas)});
    }
    if (rs->Error().failed())
        error = rs->Error();
    return lineas;
}

std::vector<std::string> NombresBoletines(engine::Database& auxiliar, engine::Error& error) {
    error.clear();
    std::vector<std::string> nombres;
    auto rs = auxiliar.OpenRecordset("Select Nombre from CabBoletines order by Nombre", error);
    if (!rs || error.failed())
        return nombres;
    for (; !rs->Eof(); rs->MoveNext()) nombres.push_back(rs->Field(0).toPlainText());
    if (rs->Error().failed())
        error = rs->Error();
    return nombres;
}

}  // namespace veliora
