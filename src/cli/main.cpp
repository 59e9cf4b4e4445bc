// veliora-cli: the program's core from the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/comun.h"
#include "core/shell/directorio.h"

namespace {

void PrintUsage(std::FILE* out) {
    std::fputs(
        "Usage: veliora-cli [--home DIR] COMMAND [OPTIONS]\n"
        "\n"
        "Commands:\n"
        "  schema --db FILE [--json]        tables, fields, indexes and relations\n"
        "  sql --db FILE [--json] STATEMENT run one read-only statement\n"
        "  generate --db FILE [--kinds 1,2,3,4,5] [--count N] [--seed S] [--json]\n"
        "                                   generate random questions with their SQL\n"
        "  check --db FILE --solution SQL --answer SQL [--json]\n"
        "                                   judge an answer against a solution\n"
        "  access convert --mdb FILE [--out FILE.db] [--json]\n"
        "                                   convert an Access file (.mdb, .accdb) to SQLite\n"
        "                                   (every --db also takes an Access file)\n"
        "\n"
        "Options:\n"
        "  --home DIR   application directory (overrides VELIORA_HOME)\n"
        "  --help       this text\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string home;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            PrintUsage(stdout);
            return 0;
        }
        if (args[i] == "--home") {
            if (i + 1 >= args.size()) {
                std::fputs("veliora-cli: --home needs a folder\n", stderr);
                return veliora::cli::kExitUsage;
            }
            home = args[++i];
            continue;
        }
        break;
    }
    if (i >= args.size()) {
        PrintUsage(stderr);
        return veliora::cli::kExitUsage;
    }
    if (!home.empty())
        veliora::FijarDirectorioAplicacion(home);

    const std::string command = args[i];
    std::vector<std::string> rest(args.begin() + std::ptrdiff_t(i) + 1, args.end());
    for (const auto& a : rest) {
        if (a == "--help" || a == "-h") {
            PrintUsage(stdout);
            return 0;
        }
    }
    if (command == "schema")
        return veliora::cli::ComandoSchema(rest);
    if (command == "sql")
        return veliora::cli::ComandoSql(rest);
    if (command == "generate")
        return veliora::cli::ComandoGenerate(rest);
    if (command == "check")
        return veliora::cli::ComandoCheck(rest);
    if (command == "access")
        return veliora::cli::ComandoAccess(rest);
    std::fprintf(stderr, "veliora-cli: unknown command '%s' (see --help)\n", command.c_str());
    return veliora::cli::kExitUsage;
}
