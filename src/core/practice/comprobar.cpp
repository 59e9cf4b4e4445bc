#include "core/practice/comprobar.h"

#include <algorithm>
#include <bit>
#include <cstdint>
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

ResultadoComprobacion Resultado(Veredicto v, engine::EngineError error = {}) {
    return {v, MensajeVeredicto(v), std::move(error)};
}

}  // namespace

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
    // Only a user database runs statements behind the guard; anything else could be written.
    if (usuario.kind() != engine::Database::Kind::User || !usuario.IsOpen()) {
        error.number = 21;  // SQLITE_MISUSE
        error.description = "No es una base de datos de usuario abierta";
        return Resultado(Veredicto::SolucionInvalida, error);
    }

    // The solution is fetched to its end before the answer runs: a broken or endless
    // solution is reported without spending the time limit on the answer too.
    auto rsSolucion = usuario.OpenRecordset(solucion, error);
    if (!rsSolucion || error.failed() || !TraerTodo(*rsSolucion, error))
        return Resultado(Veredicto::SolucionInvalida, error);

    error.clear();
    auto rsRespuesta = usuario.OpenRecordset(respuesta, error);
    if (!rsRespuesta || error.failed() || !TraerTodo(*rsRespuesta, error))
        return Resultado(Veredicto::RespuestaInvalida, error);

    return Resultado(MismosResultados(*rsRespuesta, *rsSolucion) ? Veredicto::Correcto
                                                                 : Veredicto::Erroneo);
}

}  // namespace veliora
