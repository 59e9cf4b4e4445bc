#include "support/fixtures.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "core/base/recursos.h"
#include "core/shell/directorio.h"
#include "core/base/recursos.h"
#include "core/shell/errores.h"

namespace veliora::test {

namespace fs = std::filesystem;

TempHome::TempHome() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("veliora-test-" + std::to_string(rd()) +
                                                          "-" + std::to_string(attempt));
        if (fs::create_directory(candidate)) {
            dir_ = candidate;
            break;
        }
    }
    if (dir_.empty())
        throw std::runtime_error("cannot create a temporary folder");
    setenv("VELIORA_HOME", dir_.c_str(), 1);
    FijarDirectorioAplicacion(dir_);
}

TempHome::~TempHome() {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
}

void BuildDatabase(const fs::path& path, const std::string& sql) {
    std::error_code ec;
    fs::remove(path, ec);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot create " + path.string());
    char* msg = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg);
    std::string error = msg ? msg : "";
    sqlite3_free(msg);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error("fixture SQL failed: " + error);
}

std::string ReadFixture(const std::string& fixtureName) {
    return ReadBytes(fs::path(VELIORA_FIXTURE_DIR) / (fixtureName + ".sql"));
}

void BuildFixture(const fs::path& path, const std::string& fixtureName) {
    BuildDatabase(path, ReadFixture(fixtureName));
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

fs::path SamplePath(const std::string& name) {
    return DirectorioRecursos() / "samples" / name;
}

int RunCommand(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ShellArg(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int RunCli(const TempHome& home, const std::string& args, std::string& output, bool conErrores) {
    return RunCommand(std::string(VELIORA_BIN_DIR) + "/veliora-cli --home " +
                          ShellArg(home.path().string()) + " " + args +
                          (conErrores ? " 2>&1" : " 2>/dev/null"),
                      output);
}

std::shared_ptr<engine::Database> OpenDatabase(const fs::path& path, engine::Database::Kind kind) {
    engine::Error err;
    auto db = engine::Database::Open(path.string(), kind, err);
    EXPECT_TRUE(db) << path << ": " << veliora::TextoDeError(err);
    return db;
}

std::shared_ptr<engine::Database> NewAuxiliary(const fs::path& path, const std::string& sql) {
    BuildDatabase(path, std::string(EmbeddedResource("bdaux.sql")) + "\n" + sql);
    return OpenDatabase(path, engine::Database::Kind::Auxiliary);
}

// Beside the project, or beside the folder of its worktrees.
fs::path AccessFixtureDir() {
    const fs::path arriba = fs::path(VELIORA_SOURCE_DIR) / "..",
                   relativa = "shared/fixtures/access";
    std::error_code ec;
    return fs::is_directory(arriba / relativa, ec) ? arriba / relativa : arriba / ".." / relativa;
}

}  // namespace veliora::test
