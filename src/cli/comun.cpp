#include "cli/comun.h"

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/access/conversion.h"
#include "core/app/aplicacion.h"
#include "core/base/rutinas.h"
#include "core/base/textos.h"
#include "core/practice/comprobar.h"
#include "core/session/apertura.h"
#include "core/shell/directorio.h"
#include "core/shell/errores.h"
#include "core/shell/registro.h"

namespace veliora::cli {

bool Opciones::Tiene(const std::string& flag) const {
    for (const auto& s : interruptores)
        if (s == flag)
            return true;
    return false;
}

std::optional<std::string> Opciones::Valor(const std::string& name) const {
    auto it = valores.find(name);
    if (it == valores.end())
        return std::nullopt;
    return it->second;
}

std::optional<Opciones> Parsear(const std::vector<std::string>& args,
                                const std::vector<std::string>& conValor,
                                const std::vector<std::string>& interruptores) {
    auto contains = [](const std::vector<std::string>& v, const std::string& s) {
        for (const auto& x : v)
            if (x == s)
                return true;
        return false;
    };
    Opciones op;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            if (contains(conValor, a)) {
                if (i + 1 >= args.size()) {
                    std::fprintf(stderr, "veliora-cli: %s needs a value\n", a.c_str());
                    return std::nullopt;
                }
                op.valores[a] = args[++i];
            } else if (contains(interruptores, a)) {
                op.interruptores.push_back(a);
            } else {
                std::fprintf(stderr, "veliora-cli: unknown option %s (see --help)\n", a.c_str());
                return std::nullopt;
            }
        } else {
            op.posicionales.push_back(a);
        }
    }
    return op;
}

std::optional<unsigned long long> LeerNumero(const std::string& opcion, const std::string& texto,
                                             unsigned long long minimo, unsigned long long maximo) {
    unsigned long long valor = 0;
    const char* fin = texto.data() + texto.size();
    auto [resto, ec] = std::from_chars(texto.data(), fin, valor);
    if (texto.empty() || ec != std::errc() || resto != fin || valor < minimo || valor > maximo) {
        std::fprintf(stderr, "veliora-cli: %s takes a whole number from %llu to %llu, not '%s'\n",
                     opcion.c_str(), minimo, maximo, texto.c_str());
        return std::nullopt;
    }
    return valor;
}

std::optional<std::chrono::milliseconds> LeerTiempoLimite(const Opciones& op) {
    auto texto = op.Valor("--timeout");
    if (!texto)
        return engine::Limits{}.timeout;
    auto ms = LeerNumero("--timeout", *texto, 1, kTiempoLimiteMaximoMs);
    if (!ms)
        return std::nullopt;
    return std::chrono::milliseconds(*ms);
}

void FijarTiempoLimite(engine::Database& db, std::chrono::milliseconds limite) {
    engine::Limits limits = db.limits();
    limits.timeout = limite;
    db.SetLimits(limits);
}

Vigilante::Vigilante(std::chrono::milliseconds limite, std::function<void()> imprimir, int codigo) {
    const auto instante = std::chrono::steady_clock::now() + limite + std::chrono::seconds(2);
    hilo_ = std::thread([this, instante, imprimir = std::move(imprimir), codigo] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (aviso_.wait_until(lock, instante, [this] { return desarmado_; }))
            return;
        // The lock stays held: the main thread cannot print its own output meanwhile.
        imprimir();
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(codigo);
    });
}

Vigilante::~Vigilante() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        desarmado_ = true;
    }
    aviso_.notify_all();
    hilo_.join();
}

void ImprimirComprobacionSinTiempo(bool json, std::chrono::milliseconds limite) {
    engine::Limits limits;
    limits.timeout = limite;
    // The same message a check ended by the engine's own time limit gives.
    const std::string mensaje = MensajeSinVeredicto(
        Veredicto::RespuestaInvalida, engine::TimeLimitError(limits, {}), limits, true);
    if (json) {
        Json out;
        out.BeginObject()
            .Key("verdict")
            .String("respuesta_invalida")
            .Key("message")
            .String(mensaje)
            .Key("reason")
            .String("time_limit")
            .EndObject();
        std::printf("%s\n", out.str().c_str());
    } else {
        std::string texto = mensaje;
        for (std::size_t p; (p = texto.find("\r\n")) != std::string::npos;) texto.erase(p, 1);
        std::printf("%s\n", texto.c_str());
    }
}

std::string LineaError(const engine::Error& e) {
    return "Error " + std::to_string(NumeroDeError(e)) + ": " + TextoDeError(e);
}

void ClavesError(Json& j, const engine::Error& e) {
    j.Key("number").Int(NumeroDeError(e)).Key("description").String(TextoDeError(e));
}

void ImprimirError(const engine::Error& e, bool json) {
    if (json) {
        Json j;
        j.BeginObject().Key("error").BeginObject();
        ClavesError(j, e);
        j.EndObject().EndObject();
        std::printf("%s\n", j.str().c_str());
    } else {
        std::fprintf(stderr, "%s\n", LineaError(e).c_str());
    }
}

void ImprimirNotasConversion(const access::Conversion& c) {
    for (const auto& t : c.tablas)
        for (const auto& n : t.notas)
            std::fprintf(stderr, "veliora-cli: note: %s: %s\n", t.nombre.c_str(), n.c_str());
    for (const auto& n : c.notas) std::fprintf(stderr, "veliora-cli: note: %s\n", n.c_str());
}

std::optional<std::string> BaseSqlite(const std::string& path, bool json) {
    if (!access::EsArchivoAccess(path))
        return path;
    access::Conversion conversion;
    engine::Error err;
    if (!access::Preparar(path, CarpetaConversiones(), conversion, err)) {
        ImprimirError(err, json);
        return std::nullopt;
    }
    if (!conversion.completa)
        ImprimirNotasConversion(conversion);
    return conversion.destino.string();
}

void LeerIdiomaDelPrograma() {
    Aplicacion::Actual().FijarDesplazamientoIdioma(LeerAjusteNumerico(kAjusteIdioma) == 1 ? 10000
                                                                                          : 0);
}

std::shared_ptr<engine::Database> AbrirUsuario(const std::string& path, bool json) {
    const auto sqlite = BaseSqlite(path, json);
    if (!sqlite)
        return nullptr;
    engine::Error err;
    auto db = engine::Database::Open(*sqlite, engine::Database::Kind::User, err);
    if (!db)
        ImprimirError(err, json);
    return db;
}

namespace {
char** argumentos = nullptr;
}

void GuardarArgumentos(char** argv) {
    argumentos = argv;
}

char** ArgumentosOriginales() {
    return argumentos;
}

bool AbrirComoPrograma(const std::string& path, bool json) {
    SembrarDirectorioAplicacion();
    // Converted first, so that a conversion that lost rows says so.
    if (access::EsArchivoAccess(path) && !BaseSqlite(path, json))
        return false;
    engine::Error err;
    // An Access file opens as its conversion, its auxiliary database by the Access file's
    // name (alumnos.mdb_).
    if (Aplicacion::Actual().AbrirUsuario(path, &err) != 0) {
        ImprimirError(err, json);
        return false;
    }
    const std::string nombre = std::filesystem::path(path).filename().string();
    if (Aplicacion::Actual().AbrirAuxiliar(nombre, &err) != 0) {
        if (!err.failed())
            err = engine::Failure(engine::Code::AuxiliaryCannotOpen);
        ImprimirError(err, json);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- JSON

// Bytes that are not well-formed UTF-8 (a byte string stored as text) become U+FFFD, one
// per byte, so that every output parses.
std::string EscaparJson(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            const std::size_t n = SecuenciaUtf8(s, i);
            if (n == 0) {
                out += "\xEF\xBF\xBD";
            } else {
                out.append(s.substr(i, n));
                i += n - 1;
            }
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += char(c);
                }
        }
    }
    return out;
}

void Json::Separator() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back())
            out_ += ',';
        first_.back() = false;
    }
}

Json& Json::BeginObject() {
    Separator();
    out_ += '{';
    first_.push_back(true);
    return *this;
}
Json& Json::EndObject() {
    out_ += '}';
    first_.pop_back();
    return *this;
}
Json& Json::BeginArray() {
    Separator();
    out_ += '[';
    first_.push_back(true);
    return *this;
}
Json& Json::EndArray() {
    out_ += ']';
    first_.pop_back();
    return *this;
}
Json& Json::Key(std::string_view k) {
    Separator();
    out_ += '"' + EscaparJson(k) + "\":";
    afterKey_ = true;
    return *this;
}
Json& Json::String(std::string_view s) {
    Separator();
    out_ += '"' + EscaparJson(s) + '"';
    return *this;
}
Json& Json::Int(long long v) {
    Separator();
    out_ += std::to_string(v);
    return *this;
}
Json& Json::Double(double v) {
    Separator();
    out_ += std::isfinite(v) ? engine::FormatReal(v) : "null";
    return *this;
}
Json& Json::Bool(bool v) {
    Separator();
    out_ += v ? "true" : "false";
    return *this;
}
Json& Json::Null() {
    Separator();
    out_ += "null";
    return *this;
}
Json& Json::Value(const engine::Value& v) {
    switch (v.type) {
        case engine::ValueType::Null:
            return Null();
        case engine::ValueType::Integer:
            return Int(v.integer);
        case engine::ValueType::Real:
            return Double(v.real);
        default:
            return String(v.text);
    }
}

}  // namespace veliora::cli
