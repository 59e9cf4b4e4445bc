// veliora-cli: the program's core from the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/comun.h"
#include "core/app/aplicacion.h"
#include "core/shell/directorio.h"
#include "core/shell/registro.h"
#include "core/shell/version.h"

namespace veliora::cli {
int ComandoBulletin(const std::vector<std::string>& args);
int ComandoDictionary(const std::vector<std::string>& args);
}  // namespace veliora::cli

namespace {

void PrintUsage(std::FILE* out) {
    std::fputs(
        "Usage: veliora-cli [--home DIR] COMMAND [OPTIONS]\n"
        "\n"
        "Commands:\n"
        "  schema --db FILE [--json]        tables, fields, indexes and relations\n"
        "  sql --db FILE [--json] [--timeout MS] STATEMENT\n"
        "                                   run one read-only statement\n"
        "  generate --db FILE [--kinds 1,2,3,4,5] [--count N] [--seed S] [--timeout MS]\n"
        "           [--json]                generate random questions with their SQL\n"
        "  check --db FILE --solution SQL --answer SQL [--timeout MS] [--json]\n"
        "                                   judge an answer against a solution\n"
        "  bulletin list --db FILE [--json] bulletins and their line counts\n"
        "  bulletin show --db FILE --name B [--json]\n"
        "                                   the bulletin's lines in clear text\n"
        "  bulletin add --db FILE --name B [--number N] --question Q --answer SQL\n"
        "                                   add a line (and the bulletin when missing)\n"
        "  bulletin delete --db FILE --name B [--number N]\n"
        "                                   delete one line or the whole bulletin\n"
        "  bulletin export --db FILE --name B [--layout continuas|separadas]\n"
        "                  [--format txt|html|pdf] [--out PATH]\n"
        "                                   write the bulletin to a file\n"
        "  bulletin import --from DIR [--yes]\n"
        "                                   copy a teacher's files into the application\n"
        "                                   directory (--yes: replace differing bulletins)\n"
        "  dictionary init|show|set|diagram --db FILE ...\n"
        "                                   fill, show, edit or draw the data dictionary\n"
        "  access convert --mdb FILE [--out FILE.db] [--json]\n"
        "                                   convert an Access file (.mdb, .accdb) to SQLite\n"
        "                                   (every --db also takes an Access file)\n"
        "  class create  [--server URI] --name NAME [--json]\n"
        "  class publish [--server URI] --class CODE --db FILE [--json]\n"
        "  class join    [--server URI] --class CODE --student NAME [--json]\n"
        "                                   (password from VELIORA_PASSWORD or stdin)\n"
        "  class sync    [--json]           send the attempts kept on this machine\n"
        "  class results [--server URI] --class CODE [--bulletin B] [--json | --csv FILE]\n"
        "                                   a class on a PostgreSQL server (URI or\n"
        "                                   host:port), or without --server on this machine\n"
        "  check ... --record [--bulletin B --number N]\n"
        "                                   also record the attempt for the joined class\n"
        "\n"
        "Options:\n"
        "  --home DIR   application directory (overrides VELIORA_HOME)\n"
        "  --timeout MS time limit of the engine, 1 to 3600000 ms (default 10000)\n"
        "  --help       this text\n"
        "  --version    the program's version\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    veliora::Aplicacion aplicacion;
    veliora::cli::GuardarArgumentos(argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string home;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            PrintUsage(stdout);
            return 0;
        }
        if (args[i] == "--version") {
            const std::string version(veliora::VersionPrograma());
            std::printf("veliora-cli %s\n", version.c_str());
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
    veliora::FijarReceptorAvisos([](const std::string& texto) {
        std::fprintf(stderr, "veliora-cli: warning: %s\n", texto.c_str());
    });

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
    if (command == "bulletin")
        return veliora::cli::ComandoBulletin(rest);
    if (command == "dictionary")
        return veliora::cli::ComandoDictionary(rest);
    if (command == "access")
        return veliora::cli::ComandoAccess(rest);
    if (command == "class")
        return veliora::cli::ComandoClass(rest);
    std::fprintf(stderr, "veliora-cli: unknown command '%s' (see --help)\n", command.c_str());
    return veliora::cli::kExitUsage;
}
