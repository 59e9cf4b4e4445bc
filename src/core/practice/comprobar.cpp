#include "core/practice/comprobar.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <vector>

#include "core/engine/sql_scanner.h"
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

// The current row of a forward-only result.
Fila FilaActual(const Recordset& r) {
    Fila f(std::size_t(r.FieldCount()));
    for (int c = 0; c < r.FieldCount(); ++c) f[std::size_t(c)] = r.Field(c);
    return f;
}

bool ActualesIguales(const Recordset& a, const Recordset& b) {
    for (int c = 0; c < a.FieldCount(); ++c)
        if (!engine::SameValue(a.Field(c), b.Field(c)))
            return false;
    return true;
}

// ---- Row fingerprints

// 128 bits of a row's typed values: equal values (under SameValue) give equal fingerprints.
// The low bit marks a row that holds a value whose fingerprint is shared by unequal values
// (whole numbers beyond 2^53 are taken by their nearest real, as the comparison does with
// a real), so that its group is always confirmed value by value.
struct Huella {
    std::uint64_t alta = 0, baja = 0;
    auto operator<=>(const Huella&) const = default;
    bool Ambigua() const { return baja & 1; }
};

int bitsHuella = 128;  // fewer only in tests, to force collisions

// A fresh key each run: no answer can be written to collide with its solution.
const std::array<std::uint64_t, 2>& Clave() {
    static const std::array<std::uint64_t, 2> clave = [] {
        std::random_device azar;
        std::array<std::uint64_t, 2> k{};
        for (auto& x : k) x = (std::uint64_t(azar()) << 32) ^ azar();
        return k;
    }();
    return clave;
}

std::uint64_t Final(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    return x ^ (x >> 33);
}

class Mezclador {
  public:
    Mezclador() : a_(Clave()[0]), b_(Clave()[1]) {}
    void Palabra(std::uint64_t x) {
        a_ = std::rotl((a_ ^ x) * 0x9e3779b97f4a7c15ULL, 27) + b_;
        b_ = std::rotl((b_ + x) * 0xc2b2ae3d27d4eb4fULL, 31) ^ a_;
    }
    void Bytes(const std::string& t) {
        std::size_t i = 0;
        for (; i + 8 <= t.size(); i += 8) {
            std::uint64_t x;
            std::memcpy(&x, t.data() + i, 8);
            Palabra(x);
        }
        std::uint64_t resto = 0;
        std::memcpy(&resto, t.data() + i, t.size() - i);
        Palabra(resto);
        Palabra(t.size());
    }
    Huella Fin(bool ambigua) const {
        Huella h{Final(a_ ^ Final(b_)), Final(b_ + a_)};
        if (bitsHuella < 128) {
            const int bajos = std::max(bitsHuella - 64, 0), altos = std::min(bitsHuella, 64);
            h.alta = altos == 0 ? 0 : h.alta >> (64 - altos);
            h.baja = bajos == 0 ? 0 : h.baja >> (64 - bajos);
        }
        h.baja = (h.baja & ~std::uint64_t(1)) | (ambigua ? 1 : 0);
        return h;
    }

  private:
    std::uint64_t a_, b_;
};

Huella HuellaActual(const Recordset& r) {
    using engine::ValueType;
    constexpr double kExactos = 9007199254740992.0;  // 2^53
    Mezclador m;
    bool ambigua = false;
    for (int c = 0; c < r.FieldCount(); ++c) {
        const engine::Value& v = r.Field(c);
        switch (v.type) {
            case ValueType::Null:
                m.Palabra(0);
                break;
            case ValueType::Integer:
            case ValueType::Real: {
                double d = v.number();
                if (d == 0)
                    d = 0;  // -0 equals 0
                if (v.type == ValueType::Integer && std::abs(d) > kExactos)
                    ambigua = true;
                m.Palabra(1);
                m.Palabra(std::bit_cast<std::uint64_t>(d));
                break;
            }
            case ValueType::Date: {
                // "yyyy-mm-dd" names the same instant as "yyyy-mm-dd 00:00:00".
                thread_local std::string completa;
                m.Palabra(3);
                if (v.text.size() == 10) {
                    completa.assign(v.text).append(" 00:00:00");
                    m.Bytes(completa);
                } else {
                    m.Bytes(v.text);
                }
                break;
            }
            case ValueType::Text:
            case ValueType::Blob:
                m.Palabra(v.type == ValueType::Text ? 2 : 4);
                m.Bytes(v.text);
                break;
        }
    }
    return m.Fin(ambigua);
}

// ---- Streaming the two statements

// How far a reading got: the statement that failed (the solution's failure first) or the
// outcome of the comparison.
enum class Desenlace { FallaSolucion, FallaRespuesta, Iguales, Distintas };

struct Lectura {
    Desenlace desenlace = Desenlace::Iguales;
    engine::EngineError error;
};

// Reads a result to its end; false with its error when the engine stopped it.
bool Agotar(Recordset& r, engine::EngineError& error) {
    r.MoveLast();
    error = r.Error();
    return !error.failed();
}

// One statement's rows after the first difference, as fingerprints.
struct Cola {
    std::vector<Huella> huellas;
    std::size_t maximo;  // fingerprints the memory budget allows
};

class Comparacion {
  public:
    Comparacion(engine::Database& bd, std::string_view solucion, std::string_view respuesta)
        : bd_(bd), solucion_(solucion), respuesta_(respuesta), limites_(bd.limits()) {}

    Lectura Juzgar() {
        auto s = bd_.OpenForwardOnly(solucion_, error_);
        if (!s)
            return {Desenlace::FallaSolucion, error_};
        auto a = bd_.OpenForwardOnly(respuesta_, error_);
        if (!a)
            return FallaRespuesta(*s, error_);
        if (s->FieldCount() != a->FieldCount())
            return Acabar(*s, *a, Desenlace::Distintas);
        // In the order given, holding nothing but the current rows.
        while (!s->Eof() && !a->Eof() && ActualesIguales(*s, *a)) {
            s->MoveNext();
            if (s->Error().failed())
                return {Desenlace::FallaSolucion, s->Error()};
            a->MoveNext();
            if (a->Error().failed())
                return FallaRespuesta(*s, a->Error());
        }
        if (s->Eof() || a->Eof())
            return Acabar(*s, *a, Desenlace::Iguales);
        return ComoMulticonjuntos(std::move(s), std::move(a));
    }

  private:
    // The answer failed: reported only once the solution is known to run to its end, unless
    // the answer spent the time left, which says nothing of the solution.
    Lectura FallaRespuesta(Recordset& s, engine::EngineError error) {
        engine::EngineError es;
        if (error.number != SQLITE_INTERRUPT && !Agotar(s, es))
            return {Desenlace::FallaSolucion, es};
        return {Desenlace::FallaRespuesta, std::move(error)};
    }

    // Both read to their end; then the row counts decide, or `siIguales` when they match.
    Lectura Acabar(Recordset& s, Recordset& a, Desenlace siIguales) {
        engine::EngineError e;
        if (!Agotar(s, e))
            return {Desenlace::FallaSolucion, e};
        if (!Agotar(a, e))
            return {Desenlace::FallaRespuesta, e};
        return {s.RecordCount() == a.RecordCount() ? siIguales : Desenlace::Distintas, {}};
    }

    bool Anotar(Cola& cola, const Recordset& r) {
        if (cola.huellas.size() >= cola.maximo)
            return false;
        cola.huellas.push_back(HuellaActual(r));
        return true;
    }

    // From the first difference on, the rows that precede it being equal pair by pair: the
    // results are the same multiset exactly when what follows is.
    Lectura ComoMulticonjuntos(std::unique_ptr<Recordset> s, std::unique_ptr<Recordset> a) {
        desde_ = s->RecordCount() - 1;
        const std::size_t maximo = limites_.maxBytes / sizeof(Huella);
        Cola cs{{}, maximo}, ca{{}, maximo};
        // The first differing pair is unequal for certain: a shared fingerprint is a
        // collision, and its group is confirmed value by value.
        const Huella hs = HuellaActual(*s), ha = HuellaActual(*a);
        if (hs == ha)
            colision_ = hs;
        while (!s->Eof() || !a->Eof()) {
            if (!s->Eof()) {
                if (!Anotar(cs, *s))
                    return {Desenlace::FallaSolucion,
                            engine::MemoryLimitError(limites_, solucion_)};
                s->MoveNext();
                if (s->Error().failed())
                    return {Desenlace::FallaSolucion, s->Error()};
            }
            if (!a->Eof()) {
                if (!Anotar(ca, *a))
                    return FallaRespuesta(*s, engine::MemoryLimitError(limites_, respuesta_));
                a->MoveNext();
                if (a->Error().failed())
                    return FallaRespuesta(*s, a->Error());
            }
        }
        if (cs.huellas.size() != ca.huellas.size())
            return {Desenlace::Distintas, {}};
        s.reset();
        a.reset();
        std::sort(cs.huellas.begin(), cs.huellas.end());
        std::sort(ca.huellas.begin(), ca.huellas.end());
        if (cs.huellas != ca.huellas)
            return {Desenlace::Distintas, {}};
        return Confirmar(cs.huellas);
    }

    // Fingerprints that may stand for unequal rows: repeated ones, marked ones, a collision.
    static std::vector<Huella> Dudosas(const std::vector<Huella>& ordenadas,
                                       std::optional<Huella> colision) {
        std::vector<Huella> dudosas;
        for (std::size_t i = 0; i < ordenadas.size(); ++i) {
            const bool repetida = (i > 0 && ordenadas[i - 1] == ordenadas[i]) ||
                                  (i + 1 < ordenadas.size() && ordenadas[i + 1] == ordenadas[i]);
            if ((repetida || ordenadas[i].Ambigua() || ordenadas[i] == colision) &&
                (dudosas.empty() || dudosas.back() != ordenadas[i]))
                dudosas.push_back(ordenadas[i]);
        }
        return dudosas;
    }

    // Equal fingerprints stand for equal rows except where one may hide a collision: those
    // rows are read again and compared by value, so that no collision can pass a wrong
    // answer. Repeated rows are held once, with their count.
    Lectura Confirmar(const std::vector<Huella>& ordenadas) {
        const auto dudosas = Dudosas(ordenadas, colision_);
        if (dudosas.empty())
            return {Desenlace::Iguales, {}};
        std::map<Fila, std::int64_t, bool (*)(const Fila&, const Fila&)> cuenta(FilaMenor);
        std::size_t bytes = 0;
        for (int lado = 0; lado < 2; ++lado) {
            const std::string_view sql = lado == 0 ? solucion_ : respuesta_;
            const Desenlace falla =
                lado == 0 ? Desenlace::FallaSolucion : Desenlace::FallaRespuesta;
            auto r = bd_.OpenForwardOnly(sql, error_);
            if (!r)
                return {falla, error_};
            for (; !r->Eof(); r->MoveNext()) {
                if (r->RecordCount() <= desde_ ||
                    !std::binary_search(dudosas.begin(), dudosas.end(), HuellaActual(*r)))
                    continue;
                auto [it, nueva] = cuenta.try_emplace(FilaActual(*r), 0);
                it->second += lado == 0 ? 1 : -1;
                if (nueva) {
                    bytes += sizeof(Fila) + 64 + it->first.size() * sizeof(engine::Value);
                    for (const auto& v : it->first) bytes += v.text.size();
                    if (bytes > limites_.maxBytes)
                        return {falla, engine::MemoryLimitError(limites_, sql)};
                }
            }
            if (r->Error().failed())
                return {falla, r->Error()};
        }
        for (const auto& [fila, n] : cuenta)
            if (n != 0)
                return {Desenlace::Distintas, {}};
        return {Desenlace::Iguales, {}};
    }

    engine::Database& bd_;
    std::string_view solucion_, respuesta_;
    engine::Limits limites_;
    engine::EngineError error_;
    std::size_t desde_ = 0;  // rows before the first difference
    std::optional<Huella> colision_;
};

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
    for (std::size_t i = 0; i < sql.size();) {
        const engine::SqlStretch tramo = engine::StretchAt(sql, i);
        const bool blanco =
            tramo.code() && std::string_view(" \t\r\n;").find(sql[i]) != std::string_view::npos;
        if (!blanco && tramo.kind != engine::SqlStretch::Kind::Comment)
            return false;
        i = tramo.end;
    }
    return true;
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
        return Texto(1134, *x);
    if (auto x = Tras(m, "no such column: "))
        return Texto(1135, *x);
    if (auto x = Tras(m, "near ");
        x && x->size() > 14 && x->compare(x->size() - 14, 14, ": syntax error") == 0)
        return Texto(1136, x->substr(0, x->size() - 14));
    if (m == "incomplete input")
        return Texto(1142);
    if (auto x = Tras(m, "unrecognized token: "))
        return Texto(1136, *x);
    if (auto x = Tras(m, "ambiguous column name: "))
        return Texto(1137, *x);
    if (auto x = Tras(m, "misuse of aggregate function "))
        return Texto(1138, SinParentesis(*x));
    if (auto x = Tras(m, "misuse of aggregate: "))
        return Texto(1138, SinParentesis(*x));
    if (auto x = Tras(m, "wrong number of arguments to function "))
        return Texto(1139, SinParentesis(*x));
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
            return Texto(1131, Cifra(double(limites.timeout.count()) / 1000.0));
        case Motivo::LimiteMemoria:
            return Texto(1132, Cifra(double(limites.maxBytes >> 20)));
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

namespace prueba {
void BitsDeHuella(int bits) {
    bitsHuella = std::clamp(bits, 0, 128);
}
}  // namespace prueba

bool MismosResultados(const Recordset& respuesta, const Recordset& solucion) {
    if (respuesta.RecordCount() != solucion.RecordCount())
        return false;
    if (respuesta.FieldCount() != solucion.FieldCount())
        return false;
    // Rows of one result share a width; a row of another width would be a broken result.
    std::vector<const Fila*> a, b;
    for (auto [r, filas] : {std::pair{&respuesta, &a}, std::pair{&solucion, &b}})
        for (std::size_t i = 0; i < r->RecordCount(); ++i) {
            if (r->Row(i).size() != std::size_t(r->FieldCount()))
                return false;
            filas->push_back(&r->Row(i));
        }
    auto iguales = [&] {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (!FilasIguales(*a[i], *b[i]))
                return false;
        return true;
    };
    if (iguales())
        return true;
    auto menor = [](const Fila* x, const Fila* y) { return FilaMenor(*x, *y); };
    std::sort(a.begin(), a.end(), menor);
    std::sort(b.begin(), b.end(), menor);
    return iguales();
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

    // Both are read side by side; a failure of the solution is reported before one of the
    // answer, whichever came first.
    Lectura l = Comparacion(usuario, solucion, respuesta).Juzgar();
    switch (l.desenlace) {
        case Desenlace::FallaSolucion:
            return SinJuicio(Veredicto::SolucionInvalida, std::move(l.error), limites);
        case Desenlace::FallaRespuesta:
            return SinJuicio(Veredicto::RespuestaInvalida, std::move(l.error), limites);
        case Desenlace::Iguales:
            return Resultado(Veredicto::Correcto);
        case Desenlace::Distintas:
            break;
    }
    return Resultado(Veredicto::Erroneo);
}

}  // namespace veliora
