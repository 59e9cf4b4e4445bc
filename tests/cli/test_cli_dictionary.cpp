#include <gtest/gtest.h>

#include <fstream>

#include "support/fixtures.h"

namespace veliora::test {
namespace {

const auto Arg = ShellArg;

class CliDiccionario : public ::testing::Test {
  protected:
    void SetUp() override {
        db_ = (home_ / "comercio.db").string();
        BuildFixture(db_, "eng_tienda");
    }
    int Run(const std::string& args, std::string& out, const std::string& entrada = "") {
        std::ofstream(home_ / "entrada.txt") << entrada;
        return RunCli(home_, args + " < " + Arg((home_ / "entrada.txt").string()), out);
    }
    std::string Show() {
        std::string out;
        EXPECT_EQ(Run("dictionary show --db " + Arg(db_) + " --json", out), 0);
        return out;
    }
    TempHome home_;
    std::string db_;
};

bool Contiene(const std::string& texto, const std::string& parte) {
    return texto.find(parte) != std::string::npos;
}

TEST_F(CliDiccionario, InitPreguntaYRellenaElDiccionario) {
    std::string out;
    // Before any initialisation every object shows its default names, not stored.
    const std::string antes = Show();
    EXPECT_TRUE(Contiene(antes,
                         "{\"name\":\"Clientes\",\"singular\":\"Cliente\",\"plural\":"
                         "\"Clientes\",\"masculine\":true,\"x\":0,\"y\":0,\"fields\":[{"
                         "\"name\":\"Id\",\"singular\":\"Id\",\"plural\":\"Ides\","
                         "\"masculine\":true,\"summable\":false,\"stored\":false,\"va\":{"
                         "\"singular\":\"Id\",\"plural\":\"Ids\",\"masculine\":true,"
                         "\"stored\":false}}"))
        << antes;

    EXPECT_EQ(Run("dictionary init --db " + Arg(db_), out, "n\n"), 1);
    EXPECT_EQ(Show(), antes);
    EXPECT_EQ(Run("dictionary init --db " + Arg(db_), out, "s\n"), 0);
    const std::string despues = Show();
    EXPECT_FALSE(Contiene(despues, "\"stored\"")) << despues;
    EXPECT_TRUE(Contiene(despues,
                         "\"relations\":[{\"name\":\"ClientesPedidos\",\"forward\":\"de\","
                         "\"forward_no_table\":false,\"backward\":\"de\","
                         "\"backward_no_table\":false,\"va\":{\"forward\":\"de\","
                         "\"forward_no_table\":false,\"backward\":\"de\","
                         "\"backward_no_table\":false}}"))
        << despues;
    EXPECT_EQ(Run("dictionary init --db " + Arg(db_) + " --yes", out), 0);
}

TEST_F(CliDiccionario, SetCambiaUnObjetoConLasMismasSentenciasQueLaVentana) {
    std::string out;
    ASSERT_EQ(Run("dictionary init --db " + Arg(db_) + " --yes", out), 0);
    ASSERT_EQ(Run("dictionary set --db " + Arg(db_) +
                      " --table pedidos --field Importe --singular \"import d'una comanda\" "
                      "--summable yes --gender f",
                  out),
              0);
    ASSERT_EQ(Run("dictionary set --db " + Arg(db_) +
                      " --table Clientes --relation ClientesPedidos --backward \"del cliente\" "
                      "--backward-no-table yes",
                  out),
              0);
    // --lang va: the Valencian half, and the summable flag both languages share.
    ASSERT_EQ(Run("dictionary set --db " + Arg(db_) +
                      " --table pedidos --field Importe --plural imports --gender m --lang va",
                  out),
              0);
    ASSERT_EQ(Run("dictionary set --db " + Arg(db_) +
                      " --table Clientes --relation ClientesPedidos --forward \"que han fet\" "
                      "--lang va",
                  out),
              0);
    const std::string json = Show();
    EXPECT_TRUE(Contiene(json,
                         "{\"name\":\"Importe\",\"singular\":\"import d'una comanda\","
                         "\"plural\":\"Importes\",\"masculine\":false,\"summable\":true,"
                         "\"va\":{\"singular\":\"Importe\",\"plural\":\"imports\","
                         "\"masculine\":true}}"))
        << json;
    EXPECT_TRUE(Contiene(json,
                         "\"backward\":\"del cliente\",\"backward_no_table\":true,"
                         "\"va\":{\"forward\":\"que han fet\""))
        << json;

    struct Caso {
        const char* args;
        int salida;
    };
    const Caso casos[] = {
        {" --table Nadie --singular x", 1},
        {" --table Pedidos --field Nada --singular x", 1},
        {" --table Pedidos --relation Nada --forward x", 1},
        {" --table Pedidos --gender x", 2},
        {" --table Pedidos --summable yes", 2},
        {" --table Pedidos --relation ClientesPedidos --singular x", 2},
        {" --table Pedidos --singular x --lang fr", 2},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(Run("dictionary set --db " + Arg(db_) + c.args, out), c.salida) << c.args;
    EXPECT_EQ(Show(), json);
}

TEST_F(CliDiccionario, LaPreguntaGeneradaUsaElNombreAceptado) {
    db_ = (home_ / "socios.db").string();
    BuildDatabase(db_,
                  "CREATE TABLE Socios(Id INTEGER PRIMARY KEY, Nombre TEXT, Cuota REAL);"
                  "INSERT INTO Socios VALUES (1,'Ana',10),(2,'Luis',20),(3,'Eva',30);");
    std::string out;
    ASSERT_EQ(Run("dictionary init --db " + Arg(db_) + " --yes", out), 0);
    ASSERT_EQ(Run("dictionary set --db " + Arg(db_) +
                      " --table Socios --singular parroquiano --plural parroquianos --gender m",
                  out),
              0);
    ASSERT_EQ(Run("generate --db " + Arg(db_) + " --kinds 1 --count 5 --seed 7 --json", out), 0);
    EXPECT_TRUE(Contiene(out, "parroquiano")) << out;
}

}  // namespace
}  // namespace veliora::test
