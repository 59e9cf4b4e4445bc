// The command line as documented: every command and option of the README's command line is
// in the manual page and in the bash completion, and the completion offers what it should.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/shell/version.h"
#include "support/fixtures.h"

namespace veliora::test {
namespace {

namespace fs = std::filesystem;

const fs::path kFuente = VELIORA_SOURCE_DIR;
const fs::path kCompletado = kFuente / "packaging" / "veliora-cli.bash";
const char* const kBashCompletion = "/usr/share/bash-completion/bash_completion";

// Command ("bulletin export") -> its options, from the block of the README's "Command line".
std::map<std::string, std::vector<std::string>> OrdenesDelReadme() {
    const std::string readme = ReadBytes(kFuente / "README.md");
    const std::size_t inicio = readme.find("```\n", readme.find("## Command line"));
    std::istringstream bloque(
        readme.substr(inicio + 4, readme.find("```", inicio + 4) - inicio - 4));
    std::map<std::string, std::vector<std::string>> ordenes;
    std::string linea, orden;
    const std::regex opcion("--[a-z][a-z-]*"),
        cabeza("^veliora-cli \\[--home DIR\\] ([a-z ]*[a-z])");
    while (std::getline(bloque, linea)) {
        if (std::smatch m; std::regex_search(linea, m, cabeza)) {
            orden = m[1];
            linea = m.suffix();
        }
        for (std::sregex_iterator it(linea.begin(), linea.end(), opcion), fin; it != fin; ++it)
            ordenes[orden].push_back(it->str());
    }
    return ordenes;
}

// The roff source of veliora-cli(1) with "\-" read as "-", cut into its .SS sections by
// their title.
std::map<std::string, std::string> SeccionesDelManual() {
    std::string pagina = ReadBytes(kFuente / "packaging" / "veliora-cli.1.in");
    for (std::size_t p; (p = pagina.find("\\-")) != std::string::npos;) pagina.erase(p, 1);
    std::map<std::string, std::string> secciones;
    std::istringstream lineas(pagina);
    std::string linea, actual;
    while (std::getline(lineas, linea)) {
        if (linea.rfind(".SS ", 0) == 0)
            actual = linea.substr(4);
        else if (linea.rfind(".SH ", 0) == 0)
            actual = "";
        secciones[actual] += linea + "\n";
    }
    return secciones;
}

// The completion's candidates for a command line typed up to its end, in `carpeta`.
std::string Completar(const std::string& tecleado, const fs::path& carpeta) {
    const std::string guion =
        "cd " + ShellArg(carpeta.string()) + " && source " + kBashCompletion + " && source " +
        ShellArg(kCompletado.string()) + " && COMP_LINE=" + ShellArg(tecleado) +
        " && COMP_POINT=${#COMP_LINE} && read -ra COMP_WORDS <<<\"$COMP_LINE\" && " +
        "{ [[ $COMP_LINE != *' ' ]] || COMP_WORDS+=(''); } && " +
        "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && _veliora_cli && " +
        "printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort | paste -sd ' '";
    std::string salida;
    EXPECT_EQ(RunCommand("bash -c " + ShellArg(guion), salida), 0) << tecleado;
    return salida.substr(0, salida.find('\n'));
}

// What a function of the completion script prints for `argumento`, with blanks around.
std::string FuncionDelCompletado(const std::string& funcion, const std::string& argumento) {
    std::string salida;
    RunCommand("bash -c " + ShellArg("source " + ShellArg(kCompletado.string()) + " && " + funcion +
                                     " " + ShellArg(argumento)),
               salida);
    for (char& c : salida)
        if (c == '\n')
            c = ' ';
    return " " + salida + " ";
}

TEST(Manual, EveryDocumentedCommandAndOptionIsInTheManualPageAndTheCompletion) {
    const auto ordenes = OrdenesDelReadme();
    ASSERT_GT(ordenes.size(), 10u);
    const auto secciones = SeccionesDelManual();
    for (const auto& [orden, opciones] : ordenes) {
        const std::string seccion = orden.substr(0, orden.find(' '));
        ASSERT_TRUE(secciones.count(seccion)) << "no section for " << orden;
        const std::string& texto = secciones.at(seccion);
        EXPECT_NE(texto.find("veliora-cli " + orden), std::string::npos) << orden;
        if (seccion != orden) {
            EXPECT_NE(FuncionDelCompletado("_veliora_cli_subcommands", seccion)
                          .find(" " + orden.substr(seccion.size() + 1) + " "),
                      std::string::npos)
                << orden;
        }
        const std::string completadas = FuncionDelCompletado("_veliora_cli_options", orden);
        for (const std::string& opcion : opciones) {
            EXPECT_NE(texto.find(opcion), std::string::npos) << orden << " " << opcion;
            EXPECT_NE(completadas.find(" " + opcion + " "), std::string::npos)
                << orden << " " << opcion;
        }
    }
}

TEST(Manual, CompletionOffersCommandsOptionsValuesAndDatabases) {
    if (!fs::exists(kBashCompletion))
        GTEST_SKIP() << "bash-completion is not installed (run scripts/setup)";
    TempHome carpeta;
    for (const char* nombre : {"a.db", "b.sqlite", "c.accdb", "d.txt", "e.png"})
        std::ofstream(carpeta / nombre) << "x";
    fs::create_directory(carpeta / "sub");
    const struct {
        const char* tecleado;
        const char* esperado;
    } casos[] = {
        {"veliora-cli ", "access bulletin check class dictionary generate schema sql"},
        {"veliora-cli --", "--help --home --version"},
        {"veliora-cli --home sub bul", "bulletin"},
        {"veliora-cli bulletin ", "add delete export import list show"},
        {"veliora-cli bulletin export --f", "--format"},
        {"veliora-cli bulletin export --format ", "html pdf txt"},
        {"veliora-cli check --db a.db --re", "--record --reveal"},
        {"veliora-cli schema --db ", "a.db b.sqlite c.accdb sub"},
        {"veliora-cli access convert --mdb ", "c.accdb sub"},
        {"veliora-cli dictionary diagram --db a.db --out ", "e.png sub"},
        {"veliora-cli generate --lang ", "es va"},
    };
    for (const auto& c : casos) EXPECT_EQ(Completar(c.tecleado, carpeta.path()), c.esperado);
}

}  // namespace
}  // namespace veliora::test
