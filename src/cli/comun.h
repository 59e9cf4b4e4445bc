#pragma once
// Shared pieces of the command-line tool: option parsing, JSON output, opening databases.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/database.h"

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

// Opens the user database (guarded, read-only), an Access file as its conversion; prints the
// error and returns null on failure.
std::shared_ptr<engine::Database> AbrirUsuario(const std::string& path, bool json);
// Opens the user database and its auxiliary database as the program does (globals
// BDUsuario and BDAuxiliar), seeding the application directory first.
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

// Prints {"error":{"number":N,"description":".."}} (json) or "Error N: description".
void ImprimirError(const engine::EngineError& e, bool json);

int ComandoSchema(const std::vector<std::string>& args);
int ComandoSql(const std::vector<std::string>& args);
int ComandoGenerate(const std::vector<std::string>& args);
int ComandoCheck(const std::vector<std::string>& args);
int ComandoAccess(const std::vector<std::string>& args);

}  // namespace veliora::cli
