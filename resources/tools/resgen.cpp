// Build-time tool: makes a SQLite database from SQL scripts. With --scramble, the plain
// question and answer texts written into LBoletines are stored scrambled, as the program
// keeps them.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/bulletins/encriptar.h"

namespace {

bool RunScript(sqlite3* db, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "veliora-resgen: cannot read %s\n", path.c_str());
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    char* message = nullptr;
    if (sqlite3_exec(db, text.str().c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "veliora-resgen: %s: %s\n", path.c_str(), message);
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool ScrambleBulletins(sqlite3* db) {
    struct Line {
        std::int64_t rowid;
        std::string pregunta, respuesta;
    };
    std::vector<Line> lines;
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT rowid, Pregunta, Respuesta FROM LBoletines "
                       "WHERE typeof(Pregunta) = 'text' OR typeof(Respuesta) = 'text'",
                       -1, &select, nullptr);
    while (sqlite3_step(select) == SQLITE_ROW) {
        auto text = [&](int i) {
            const unsigned char* t = sqlite3_column_text(select, i);
            return std::string(t ? reinterpret_cast<const char*>(t) : "");
        };
        lines.push_back({sqlite3_column_int64(select, 0), text(1), text(2)});
    }
    sqlite3_finalize(select);

    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE LBoletines SET Pregunta = ?, Respuesta = ? WHERE rowid = ?", -1,
                       &update, nullptr);
    for (const Line& line : lines) {
        std::string error;
        auto pregunta = veliora::Encriptar(line.pregunta, veliora::kClaveRespuestas, &error);
        auto respuesta = veliora::Encriptar(line.respuesta, veliora::kClaveRespuestas, &error);
        if (!pregunta || !respuesta) {
            std::fprintf(stderr, "veliora-resgen: %s\n", error.c_str());
            return false;
        }
        sqlite3_bind_blob(update, 1, pregunta->data(), int(pregunta->size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(update, 2, respuesta->data(), int(respuesta->size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(update, 3, line.rowid);
        if (sqlite3_step(update) != SQLITE_DONE) {
            std::fprintf(stderr, "veliora-resgen: %s\n", sqlite3_errmsg(db));
            return false;
        }
        sqlite3_reset(update);
    }
    sqlite3_finalize(update);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool scramble = false;
    if (!args.empty() && args[0] == "--scramble") {
        scramble = true;
        args.erase(args.begin());
    }
    if (args.size() < 2) {
        std::fputs("usage: veliora-resgen [--scramble] OUT.db SCRIPT.sql...\n", stderr);
        return 2;
    }
    const std::filesystem::path out = args[0];
    const std::filesystem::path tmp = out.string() + ".tmp";
    std::filesystem::create_directories(out.parent_path());
    std::filesystem::remove(tmp);
    sqlite3* db = nullptr;
    if (sqlite3_open(tmp.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "veliora-resgen: cannot create %s\n", tmp.c_str());
        return 1;
    }
    bool ok = true;
    for (std::size_t i = 1; ok && i < args.size(); ++i) ok = RunScript(db, args[i]);
    if (ok && scramble)
        ok = ScrambleBulletins(db);
    sqlite3_close(db);
    if (!ok) {
        std::filesystem::remove(tmp);
        return 1;
    }
    std::filesystem::rename(tmp, out);
    return 0;
}
