// veliora-cli class and check --record: a class on a real server, three students on three
// machines, and the results the teacher reads.
#include <cstdlib>

#include "aula/comun.h"

namespace veliora::test {
namespace {

std::string Campo(const std::string& json, const std::string& clave) {
    const auto p = json.find("\"" + clave + "\":\"");
    if (p == std::string::npos)
        return {};
    const auto inicio = p + clave.size() + 4;
    return json.substr(inicio, json.find('"', inicio) - inicio);
}

TEST(CliClase, UnaClaseConTresAlumnosYSusResultados) {
    VELIORA_SERVIDOR_PG(pg);
    TempHome profesor;
    std::string salida;
    // The teacher's commands name the server; a student's, after joining, need not.
    const auto Profesor = [&](const std::string& args) {
        return RunCli(profesor, "class " + args + " --server " + ShellArg(pg->Uri()), salida);
    };
    ASSERT_EQ(Profesor("create --name '1º DAW' --json"), 0) << salida;
    const std::string codigo = Campo(salida, "code");
    ASSERT_EQ(codigo.size(), 8u) << salida;
    const std::string tienda = ShellArg(SamplePath("tienda.db").string());
    ASSERT_EQ(Profesor("publish --class " + codigo + " --json --db " + tienda), 0) << salida;
    EXPECT_EQ(salida.rfind(R"({"version":1,"hash":")", 0), 0u) << salida;

    const std::string unirse =
        "class join --json --class " + codigo + " --server " + pg->Direccion() + " --student ";
    const char* solucion =
        "Select Nombre, Apellidos, Ciudad from Clientes where Provincia = 'Valencia'";
    struct Caso {
        std::string alumno, respuesta, veredicto;
    } casos[] = {
        {"Ana", solucion, "correcto"},
        {"Luis", "select Nombre from Clientes", "erroneo"},
        {"Eva",
         "Select Nombre, Apellidos, Ciudad from Clientes where Provincia in ('Valencia', 'Lugo')",
         "correcto_solo_aqui"},
    };
    std::vector<std::unique_ptr<TempHome>> equipos;
    for (const Caso& c : casos) {
        equipos.push_back(std::make_unique<TempHome>());
        setenv("VELIORA_PASSWORD", ("clave de " + c.alumno).c_str(), 1);
        ASSERT_EQ(RunCli(*equipos.back(), unirse + c.alumno, salida, true), 0) << salida;
        EXPECT_NE(salida.find("\"version\":1"), std::string::npos) << salida;
        // The stored answer of the bulletin question is the solution; a generous search budget
        // so that a loaded machine cannot miss Eva's counterexample.
        const std::string comprobar =
            "check --record --bulletin 'Tema 1' --number 1 --json --counterexample-budget 60000 "
            "--answer " +
            ShellArg(c.respuesta);
        ASSERT_EQ(RunCli(*equipos.back(), comprobar, salida, true), 0) << salida;
        EXPECT_EQ(Campo(salida, "verdict"), c.veredicto) << salida;
        EXPECT_NE(salida.find(R"("sent":true,"pending":0)"), std::string::npos) << salida;
    }
    // A wrong password is refused, and nothing is kept of it.
    setenv("VELIORA_PASSWORD", "otra", 1);
    EXPECT_EQ(RunCli(*equipos[0], unirse + "Ana", salida), 1);
    EXPECT_NE(salida.find(R"("reason":"password")"), std::string::npos) << salida;
    unsetenv("VELIORA_PASSWORD");

    ASSERT_EQ(Profesor("results --json --class " + codigo), 0);
    EXPECT_EQ(
        salida,
        R"({"students":[)"
        R"({"name":"Ana","attempts":1,"right":1,"questions":{"Tema 1/1":{"best":"correcto","attempts":1}}},)"
        R"({"name":"Eva","attempts":1,"right":0,"questions":{"Tema 1/1":{"best":"correcto_solo_aqui","attempts":1}}},)"
        R"({"name":"Luis","attempts":1,"right":0,"questions":{"Tema 1/1":{"best":"incorrecto","attempts":1}}}]})"
        "\n");
    const auto csv = profesor / "resultados.csv";
    ASSERT_EQ(Profesor("results --class " + codigo + " --csv " + ShellArg(csv.string())), 0);
    EXPECT_EQ(ReadBytes(csv),
              "Alumno,Intentos,Correctos,Tema 1/1\r\nAna,1,1,Correcto (1)\r\n"
              "Eva,1,0,Correcto solo aquí (1)\r\nLuis,1,0,Incorrecto (1)\r\n");
}

TEST(CliClase, OpcionesQueNoValen) {
    TempHome home;
    std::string salida;
    for (const char* args :
         {"class", "class frob", "class create", "class sync --server x",
          "class results --class X --json --csv f.csv", "class join --class X",
          "check --db x.db --solution 'select 1' --answer 'select 1' --bulletin B --number 1",
          "check --record --bulletin B --answer 'select 1'",
          "check --record --bulletin B --number 0 --answer 'select 1'"})
        EXPECT_EQ(RunCli(home, args, salida), 2) << args;
    // Recording without having joined a class.
    EXPECT_EQ(
        RunCli(home, "check --record --json --db x.db --solution 'select 1' --answer 'select 1'",
               salida),
        1);
    EXPECT_NE(salida.find(R"("reason":"not_joined")"), std::string::npos) << salida;
}

}  // namespace
}  // namespace veliora::test
