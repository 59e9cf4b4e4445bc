#include "core/practice/comprobar.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/engine/value.h"
#include "core/shell/textos.h"

namespace veliora {

namespace {

using engine::CompareValues;
using engine::Recordset;
using Fila = std::vector<engine::Value>;

bool FilasIguales(const Fila& a, const Fila& b) {
    for (std::size_t c = 0; c < a.size(); ++c)
        if (!engine::SameValue(a[c], b[c]))
            return false;
    return true;
}

// Lexicographic over all columns, on the engine's total order of values.
bool FilaMenor(const Fila& a, const Fila& b) {
    for (std::size_t c = 0; c < a.size(); ++c) {
        int r = CompareValues(a[c], b[c]);
        if (r != 0)
            return r < 0;
    }
    return false;
}

bool ComparacionEnOrden(const Recordset& a, const Recordset& b) {
    for (std::size_t i = 0; i < a.RecordCount(); ++i)
        if (!FilasIguales(a.Row(i), b.Row(i)))
            return false;
    return true;
}

// The first 7 bytes, big-endian: byte order of texts is kept.
std::uint64_t Prefijo(const std::string& texto) {
    std::uint64_t p = 0;
    for (std::size_t i = 0; i < 7; ++i)
        p = (p << 8) | (i < texto.size() ? std::uint8_t(texto[i]) : 0u);
    return p;
}

// Order-preserving 64-bit key of a value under CompareValues: a smaller key means a smaller
// value, equal keys decide nothing. Sorting on (key of the first column, row) keeps most
// comparisons inside one array instead of chasing every row through memory.
std::uint64_t Clave(const engine::Value& v) {
    using engine::ValueType;
    constexpr int kBitsRango = 61;
    switch (v.type) {
        case ValueType::Null:
            return 0;
        case ValueType::Integer:
        case ValueType::Real: {
            double d = v.number();
            if (d == 0)
                d = 0;  // -0 equals 0: same key
            std::uint64_t b = std::bit_cast<std::uint64_t>(d);
            b = (b >> 63) ? ~b : (b | (std::uint64_t(1) << 63));
            return (std::uint64_t(1) << kBitsRango) | (b >> 3);
        }
        case ValueType::Text:
            return (std::uint64_t(2) << kBitsRango) | Prefijo(v.text);
        case ValueType::Date:
            return (std::uint64_t(3) << kBitsRango) | Prefijo(v.text);
        case ValueType::Blob:
            return (std::uint64_t(4) << kBitsRango) | Prefijo(v.text);
    }
    return ~std::uint64_t(0);
}

struct FilaClave {
    std::uint64_t clave;
    const Fila* fila;
};

// Rows of a result sorted on all their columns. Rows are referenced, never copied: the
// results can hold millions of them.
std::vector<FilaClave> Ordenadas(const Recordset& r) {
    std::vector<FilaClave> filas(r.RecordCount());
    for (std::size_t i = 0; i < filas.size(); ++i) {
        const Fila& f = r.Row(i);
        filas[i] = {f.empty() ? 0 : Clave(f[0]), &f};
    }
    auto menor = [](const FilaClave& x, const FilaClave& y) {
        if (x.clave != y.clave)
            return x.clave < y.clave;
        return FilaMenor(*x.fila, *y.fila);
    };
    // Answers often come sorted already (their own order clause); that case is linear.
    if (!std::is_sorted(filas.begin(), filas.end(), menor))
        std::sort(filas.begin(), filas.end(), menor);
    return filas;
}

bool ComparacionOrdenada(const Recordset& a, const Recordset& b) {
    const auto fa = Ordenadas(a);
    const auto fb = Ordenadas(b);
    for (std::size_t i = 0; i < fa.size(); ++i)
        if (!FilasIguales(*fa[i].fila, *fb[i].fila))
            return false;
    return true;
}

// Fetches the whole result; false when the engine stopped it (time limit, row limit...).
bool TraerTodo(Recordset& r, engine::EngineError& error) {
    r.MoveLast();
    if (r.Error().failed()) {
        error = r.Error();
        return false;
    }
    r.MoveFirst();
    return true;
}

ResultadoComprobacion Resultado(Veredicto v) {
    return {v, MensajeVeredicto(v), {}, Motivo::Ninguno};
}

// Nothing could be judged: the verdict's line, then why.
ResultadoComprobacion SinJuicio(Veredicto v, engine::EngineError error,
                                const engine::Limits& limites) {
    ResultadoComprobacion r{v, MensajeVeredicto(v), std::move(error), Motivo::Motor};
    r.motivo = MotivoDeError(r.error);
    const std::string porque = ExplicarError(r.error, limites);
    if (!porque.empty())
        r.mensaje += "\r\n" + porque;
    return r;
}

// Whether a statement holds nothing but blanks, comments and semicolons.
bool SentenciaVacia(std::string_view sql) {
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';') {
            ++i;
        } else if (sql.substr(i, 2) == "--") {
            i = sql.find('\n', i);
            if (i == std::string_view::npos)
                return true;
        } else if (sql.substr(i, 2) == "/*") {
            i = sql.find("*/", i + 2);
            if (i == std::string_view::npos)
                return true;
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

std::string Sustituir(std::string texto, const std::string& valor) {
    const auto p = texto.find("%1");
    if (p != std::string::npos)
        texto.replace(p, 2, valor);
    return texto;
}

// The text after `prefijo` when the message starts with it.
std::optional<std::string> Tras(const std::string& mensaje, std::string_view prefijo) {
    if (mensaje.rfind(prefijo, 0) != 0)
        return std::nullopt;
    return mensaje.substr(prefijo.size());
}

std::string SinParentesis(std::string nombre) {
    if (nombre.size() >= 2 && nombre.compare(nombre.size() - 2, 2, "()") == 0)
        nombre.resize(nombre.size() - 2);
    return nombre;
}

// The engine's most frequent messages in the interface's language, with the name they cite.
std::string TraducirMensajeMotor(const std::string& m) {
    if (auto x = Tras(m, "no such table: "))
        return Sustituir(Texto(1134), *x);
    if (auto x = Tras(m, "no such column: "))
        return Sustituir(Texto(1135), *x);
    if (auto x = Tras(m, "near ");
        x && x->size() > 14 && x->compare(x->size() - 14, 14, ": syntax error") == 0)
        return Sustituir(Texto(1136), x->substr(0, x->size() - 14));
    if (m == "incomplete input")
        return Texto(1142);
    if (auto x = Tras(m, "unrecognized token: "))
        return Sustituir(Texto(1136), *x);
    if (auto x = Tras(m, "ambiguous column name: "))
        return Sustituir(Texto(1137), *x);
    if (auto x = Tras(m, "misuse of aggregate function "))
        return Sustituir(Texto(1138), SinParentesis(*x));
    if (auto x = Tras(m, "misuse of aggregate: "))
        return Sustituir(Texto(1138), SinParentesis(*x));
    if (auto x = Tras(m, "wrong number of arguments to function "))
        return Sustituir(Texto(1139), SinParentesis(*x));
    return m;
}

std::string Cifra(double valor) {
    char texto[32];
    std::snprintf(texto, sizeof texto, "%g", valor);
    std::string s = texto;
    for (char& c : s)
        if (c == '.')
            c = ',';
    return s;
}

}  // namespace

const char* CodigoMotivo(Motivo motivo) {
    switch (motivo) {
        case Motivo::Ninguno:
            return "";
        case Motivo::NoEsConsulta:
            return "not_a_query";
        case Motivo::LimiteTiempo:
            return "time_limit";
        case Motivo::LimiteMemoria:
            return "memory_limit";
        case Motivo::Sintaxis:
            return "syntax";
        case Motivo::Motor:
            return "engine";
        case Motivo::Vacia:
            return "empty";
    }
    return "";
}

Motivo MotivoDeError(const engine::EngineError& error) {
    switch (error.number) {
        case 0:
            return Motivo::Ninguno;
        case SQLITE_AUTH:
            return Motivo::NoEsConsulta;
        case SQLITE_INTERRUPT:
            return Motivo::LimiteTiempo;
        case SQLITE_NOMEM:
        case SQLITE_TOOBIG:
            return Motivo::LimiteMemoria;
        default:
            break;
    }
    const std::string& m = error.description;
    if (m == engine::kMensajeConsultaVacia)
        return Motivo::Vacia;
    if (m == engine::kMensajeVariasSentencias)
        return Motivo::NoEsConsulta;
    if (m == "incomplete input" || m.rfind("unrecognized token", 0) == 0 ||
        (m.rfind("near ", 0) == 0 && m.find(": syntax error") != std::string::npos))
        return Motivo::Sintaxis;
    return Motivo::Motor;
}

std::string ExplicarError(const engine::EngineError& error, const engine::Limits& limites) {
    switch (MotivoDeError(error)) {
        case Motivo::Ninguno:
            return {};
        case Motivo::NoEsConsulta:
            return Texto(error.description == engine::kMensajeVariasSentencias ? 1140 : 1130);
        case Motivo::LimiteTiempo:
            return Sustituir(Texto(1131), Cifra(double(limites.timeout.count()) / 1000.0));
        case Motivo::LimiteMemoria:
            return Sustituir(Texto(1132), Cifra(double(limites.maxBytes >> 20)));
        case Motivo::Vacia:
            return Texto(1133);
        case Motivo::Sintaxis:
        case Motivo::Motor:
            break;
    }
    return TraducirMensajeMotor(error.description);
}

std::string MensajeVeredicto(Veredicto veredicto) {
    switch (veredicto) {
        case Veredicto::Correcto:
            return Texto(1118) + "\r\n" + Texto(1119);
        case Veredicto::Erroneo:
            return Texto(1120);
        case Veredicto::SolucionInvalida:
            return Texto(1116);
        case Veredicto::RespuestaInvalida:
            return Texto(1117);
        case Veredicto::CorrectoSoloAqui:
            return Texto(1800);
    }
    return {};
}

bool MismosResultados(const Recordset& respuesta, const Recordset& solucion) {
    if (respuesta.RecordCount() != solucion.RecordCount())
        return false;
    if (respuesta.FieldCount() != solucion.FieldCount())
        return false;
    // Rows of one result share a width; a row of another width would be a broken result.
    for (const Recordset* r : {&respuesta, &solucion})
        for (std::size_t i = 0; i < r->RecordCount(); ++i)
            if (r->Row(i).size() != std::size_t(r->FieldCount()))
                return false;
    return ComparacionEnOrden(respuesta, solucion) || ComparacionOrdenada(respuesta, solucion);
}

ResultadoComprobacion ComprobarRespuesta(engine::Database& usuario, std::string_view solucion,
                                         std::string_view respuesta) {
    engine::EngineError error;
    const engine::Limits limites = usuario.limits();
    // Only a user database runs statements behind the guard; anything else could be written.
    if (usuario.kind() != engine::Database::Kind::User || !usuario.IsOpen()) {
        error.number = SQLITE_MISUSE;
        error.description = "No es una base de datos de usuario abierta";
        return SinJuicio(Veredicto::SolucionInvalida, error, limites);
    }
    if (SentenciaVacia(solucion)) {
        ResultadoComprobacion r{
            Veredicto::SolucionInvalida,
            MensajeVeredicto(Veredicto::SolucionInvalida) + "\r\n" + Texto(1141),
            {},
            Motivo::Vacia};
        return r;
    }
    if (SentenciaVacia(respuesta)) {
        ResultadoComprobacion r{
            Veredicto::RespuestaInvalida,
            MensajeVeredicto(Veredicto::RespuestaInvalida) + "\r\n" + Texto(1133),
            {},
            Motivo::Vacia};
        return r;
    }

    // One deadline for the whole check: a slow solution leaves less time to the answer.
    const auto limite = std::chrono::steady_clock::now() + limites.timeout;
    usuario.SetDeadline(limite);
    struct Liberar {
        engine::Database& bd;
        ~Liberar() { bd.ClearDeadline(); }
    } liberar{usuario};

    // The solution is fetched to its end before the answer runs: a broken or endless
    // solution is reported without spending the time limit on the answer too.
    auto rsSolucion = usuario.OpenRecordset(solucion, error);
    if (!rsSolucion || error.failed() || !TraerTodo(*rsSolucion, error))
        return SinJuicio(Veredicto::SolucionInvalida, error, limites);

    error.clear();
    auto rsRespuesta = usuario.OpenRecordset(respuesta, error);
    if (!rsRespuesta || error.failed() || !TraerTodo(*rsRespuesta, error))
        return SinJuicio(Veredicto::RespuestaInvalida, error, limites);

    return Resultado(MismosResultados(*rsRespuesta, *rsSolucion) ? Veredicto::Correcto
                                                                 : Veredicto::Erroneo);
}

}  // namespace veliora
