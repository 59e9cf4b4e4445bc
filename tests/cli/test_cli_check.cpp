// veliora-cli check: the verdict and message the practice window would show.
#include <gtest/gtest.h>

#include <string>

#include "support/fixtures.h"

namespace veliora {
namespace {

const auto Citar = test::ShellArg;

class CliCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db_ = home_ / "notas.db";
        test::BuildDatabase(db_, R"sql(
CREATE TABLE Alumnos (Id INTEGER PRIMARY KEY, Nombre TEXT, Nota DOUBLE);
INSERT INTO Alumnos VALUES (1, 'Eva', 7.5), (2, 'Pau', 5), (3, 'Iker', NULL);
)sql");
        original_ = test::ReadBytes(db_);
    }
    void TearDown() override { EXPECT_EQ(test::ReadBytes(db_), original_); }

    int Check(const std::string& solucion, const std::string& respuesta, bool json,
              std::string& salida, const std::string& mas = "") {
        return test::RunCli(home_,
                            "check --db " + Citar(db_.string()) + " --solution " + Citar(solucion) +
                                " --answer " + Citar(respuesta) + (json ? " --json" : "") + mas,
                            salida);
    }

    test::TempHome home_;
    std::filesystem::path db_;
    std::string original_;
};

TEST_F(CliCheckTest, JsonVerdictsForEachOutcome) {
    struct Caso {
        const char* solucion;
        const char* respuesta;
        const char* json;
    };
    const Caso casos[] = {
        {"select Nombre from Alumnos", "select Nombre from Alumnos order by Nombre desc",
         R"({"verdict":"correcto","message":"El resultado parece correcto\r\nCompruebe su respuesta con la solución"})"},
        {"select Nombre from Alumnos", "select Nombre from Alumnos where Nota > 6",
         R"({"verdict":"erroneo","message":"Resultado erróneo","diff":{"answer_rows":1,"solution_rows":3,"answer_columns":1,"solution_columns":1,"extra":[],"missing":[],"diagnosis":""}})"},
        {"select Nadie from Alumnos", "select 1",
         R"({"verdict":"solucion_invalida","message":"No se puede comprobarla respuesta\r\nNo existe la columna Nadie","reason":"engine"})"},
        {"select Nombre from Alumnos", "delete from Alumnos",
         R"({"verdict":"respuesta_invalida","message":"Solo se admiten consultas SELECT","reason":"not_a_query"})"},
        {"select Nombre from Alumnos", "selec Nombre",
         R"({"verdict":"respuesta_invalida","message":"La solución es sintácticamente errónea. Modifícala y repite la verificación\r\nError de sintaxis cerca de \"selec\"","reason":"syntax"})"},
        {"select Nombre from Alumnos", " -- nada\n",
         R"({"verdict":"respuesta_invalida","message":"La respuesta está vacía","reason":"empty"})"},
    };
    for (const auto& c : casos) {
        std::string salida;
        EXPECT_EQ(Check(c.solucion, c.respuesta, true, salida), 0) << c.respuesta;
        EXPECT_EQ(salida, std::string(c.json) + "\n") << c.respuesta;
    }
}

TEST_F(CliCheckTest, PlainOutputIsTheMessage) {
    std::string salida;
    EXPECT_EQ(Check("select Nota from Alumnos", "select Nota from Alumnos", false, salida), 0);
    EXPECT_EQ(salida, "El resultado parece correcto\nCompruebe su respuesta con la solución\n");
}

TEST_F(CliCheckTest, CounterexampleAndRevealedDifferences) {
    std::string salida;
    const char* solucion = "select Nombre from Alumnos where Nota >= 7.5";
    const char* casiIgual = "select Nombre from Alumnos where Nota > 7";
    EXPECT_EQ(Check(solucion, casiIgual, true, salida), 0);
    EXPECT_EQ(salida.rfind(R"({"verdict":"correcto_solo_aqui","message":"Tu respuesta da el )", 0),
              0u)
        << salida;
    EXPECT_NE(salida.find(R"(,"counterexample":{"change":"Si Nota vale )"), std::string::npos)
        << salida;
    // One row changed: its result on the variant differs by that row.
    EXPECT_NE(salida.find(R"("answer_rows":[["Eva"]],"solution_rows":[]}})"), std::string::npos)
        << salida;

    EXPECT_EQ(Check(solucion, casiIgual, true, salida, " --no-counterexample"), 0);
    EXPECT_EQ(salida.rfind(R"({"verdict":"correcto",)", 0), 0u) << salida;

    EXPECT_EQ(Check("select Nombre, Nota from Alumnos",
                    "select Nombre, Nota from Alumnos where Id = 1", true, salida, " --reveal"),
              0);
    EXPECT_NE(
        salida.find(
            R"("diff":{"answer_rows":1,"solution_rows":3,"answer_columns":2,"solution_columns":2,"extra":[],"missing":[["Iker",null],["Pau",5]],"diagnosis":""})"),
        std::string::npos)
        << salida;
}

TEST_F(CliCheckTest, MissingOptionsOrDatabaseAreErrorsNotVerdicts) {
    std::string salida;
    EXPECT_NE(
        test::RunCli(home_, "check --db " + Citar(db_.string()) + " --answer 'select 1'", salida),
        0);
    EXPECT_NE(test::RunCli(home_,
                           "check --db " + Citar((home_ / "nada.db").string()) +
                               " --solution 'select 1' --answer 'select 1'",
                           salida),
              0);
}

}  // namespace
}  // namespace veliora
