#pragma once
// Shared pieces of the command-line tool: option parsing, JSON output, opening databases.

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/aula/error.h"
#include "core/bulletins/exportar.h"
#include "core/engine/database.h"

namespace veliora::access {
struct Conversion;
}

namespace veliora::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;  // the command ran and failed (engine error...)
inline constexpr int kExitUsage = 2;  // bad options

// Parsed options of one command: "--name value" pairs, "--flag" switches and the
// remaining positional arguments.
struct Opciones {
    std::map<std::string, std::string> valores;
    std::vector<std::string> interruptores;
    std::vector<std::string> posicionales;

    bool Tiene(const std::string& flag) const;
    std::optional<std::string> Valor(const std::string& name) const;
};

// Parses `args`; `conValor` lists the options that take a value. On error prints a
// message to stderr and returns nothing.
std::optional<Opciones> Parsear(const std::vector<std::string>& args,
                                const std::vector<std::string>& conValor,
                                const std::vector<std::string>& interruptores);

// A whole number from `texto`, the value of `opcion`, within [minimo, maximo]. Prints a
// usage message and returns nothing when it is not one.
std::optional<unsigned long long> LeerNumero(const std::string& opcion, const std::string& texto,
                                             unsigned long long minimo, unsigned long long maximo);

inline constexpr unsigned long long kTiempoLimiteMaximoMs = 3'600'000;
// The --timeout value (1 to 3,600,000 ms), or the engine's default when absent. Nothing,
// after a usage message, when the value is not one.
std::optional<std::chrono::milliseconds> LeerTiempoLimite(const Opciones& op);
void FijarTiempoLimite(engine::Database& db, std::chrono::milliseconds limite);

// Ends the process when an engine call does not return in time (one call over a long
// text can run for minutes without reaching a point where the engine stops it): at
// `limite` + 2 s from its creation it runs `imprimir`, which prints what the time limit
// gives, flushes and exits with `codigo`. Destroying it disarms it; destroy it before
// printing the command's own output, so that only one of them prints.
class Vigilante {
  public:
    Vigilante(std::chrono::milliseconds limite, std::function<void()> imprimir, int codigo);
    ~Vigilante();
    Vigilante(const Vigilante&) = delete;
    Vigilante& operator=(const Vigilante&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable aviso_;
    bool desarmado_ = false;
    std::thread hilo_;
};

// What `check` prints when the time limit ends the check: the answer could not be judged.
void ImprimirComprobacionSinTiempo(bool json, std::chrono::milliseconds limite);

// Every note of a conversion on standard error, one line each ("veliora-cli: note: ...").
void ImprimirNotasConversion(const access::Conversion& conversion);
// The SQLite database to open for `path`: the path itself, or for an Access file its
// conversion (made or brought up to date first; a conversion that lost rows still opens,
// after its notes); prints the error and returns nothing on failure.
std::optional<std::string> BaseSqlite(const std::string& path, bool json);
// Sets the language from the program's setting, read without creating it.
void LeerIdiomaDelPrograma();

// Opens the user database (guarded, read-only), an Access file as its conversion; prints the
// error and returns null on failure.
std::shared_ptr<engine::Database> AbrirUsuario(const std::string& path, bool json);
// Opens the user database and its auxiliary database as the program does (into the
// application object), seeding the application directory first.
bool AbrirComoPrograma(const std::string& path, bool json);

// Minimal JSON writer that keeps keys in the order they are written.
class Json {
  public:
    Json& BeginObject();
    Json& EndObject();
    Json& BeginArray();
    Json& EndArray();
    Json& Key(std::string_view k);
    Json& String(std::string_view s);
    Json& Int(long long v);
    Json& Double(double v);
    Json& Bool(bool v);
    Json& Null();
    Json& Value(const engine::Value& v);  // typed: numbers, texts, dates as ISO text, null
    const std::string& str() const { return out_; }

  private:
    void Separator();
    std::string out_;
    std::vector<bool> first_;
    bool afterKey_ = false;
};
std::string EscaparJson(std::string_view s);

// The one place an error becomes the CLI's text: "Error N: description".
std::string LineaError(const engine::Error& e);
// Writes the error's "number" and "description" keys into an open JSON object.
void ClavesError(Json& j, const engine::Error& e);
// Prints {"error":{"number":N,"description":".."}} (json) or "Error N: description".
void ImprimirError(const engine::Error& e, bool json);
// Prints {"error":{"reason":"..","description":".."}} (json) or the description; returns
// kExitError.
int ImprimirFalloClase(const aula::Error& e, bool json);

// The program's arguments as main received them (for handing a command to another program).
void GuardarArgumentos(char** argv);
char** ArgumentosOriginales();

// Drawing (the dictionary's diagram, a bulletin as PDF) needs QtGui, whose libraries take
// longer to load than most commands take to run. veliora-cli is built without it and hands
// the commands that draw to its helper veliora-cli-graficos, the same program built with it
// (cli/graficos.cpp there, cli/sin_graficos.cpp here).
int ComandoDiagrama(const std::vector<std::string>& args);
// A bulletin written as PDF to `destino`, whose path is printed; the exit code.
int ExportarBoletinPdf(engine::Database& auxiliar, const std::string& nombre,
                       Disposicion disposicion, const std::filesystem::path& destino);

int ComandoSchema(const std::vector<std::string>& args);
int ComandoSql(const std::vector<std::string>& args);
int ComandoGenerate(const std::vector<std::string>& args);
int ComandoCheck(const std::vector<std::string>& args);
int ComandoAccess(const std::vector<std::string>& args);
int ComandoClass(const std::vector<std::string>& args);

}  // namespace veliora::cli
