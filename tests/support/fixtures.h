#pragma once
// Test helpers: a fresh application directory per test, databases built from SQL.

#include <filesystem>
#include <memory>
#include <string>

#include "core/engine/database.h"

namespace veliora::test {

// A temporary folder that is the application directory (VELIORA_HOME) while it lives.
class TempHome {
  public:
    TempHome();
    ~TempHome();
    const std::filesystem::path& path() const { return dir_; }
    std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

  private:
    std::filesystem::path dir_;
};

// Creates a SQLite file at `path` by running `sql` (several statements allowed).
void BuildDatabase(const std::filesystem::path& path, const std::string& sql);
// Same, from tests/fixtures/<name>.sql.
void BuildFixture(const std::filesystem::path& path, const std::string& fixtureName);
std::string ReadFixture(const std::string& fixtureName);
// Bytes of a file, for byte-identical checks.
std::string ReadBytes(const std::filesystem::path& path);
// Path of a sample database built into the resource folder (tienda.db, escuela.db...).
std::filesystem::path SamplePath(const std::string& name);
// Runs a command, capturing its standard output; returns the exit code.
int RunCommand(const std::string& command, std::string& output);
// An argument single-quoted for the shell of RunCommand.
std::string ShellArg(const std::string& s);
// Runs veliora-cli with `args` in the application directory `home`, capturing standard output
// (and standard error too when `conErrores`); returns the exit code.
int RunCli(const TempHome& home, const std::string& args, std::string& output,
           bool conErrores = false);
// A database of `kind` at `path`, or null after a failed assertion.
std::shared_ptr<engine::Database> OpenDatabase(const std::filesystem::path& path,
                                               engine::Database::Kind kind);
// A new auxiliary database at `path`, from the embedded template schema plus `sql`.
std::shared_ptr<engine::Database> NewAuxiliary(const std::filesystem::path& path,
                                               const std::string& sql = "");
// The real Access files shared beside the project (they may be absent: tests then skip).
std::filesystem::path AccessFixtureDir();

}  // namespace veliora::test
