#include <gtest/gtest.h>

#include "core/shell/version.h"
#include "support/fixtures.h"

namespace veliora::test {
namespace {

const auto Arg = ShellArg;

class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        db_ = (home_ / "tienda.db").string();
        BuildFixture(db_, "eng_tienda");
    }
    int Run(const std::string& args, std::string& out) { return RunCli(home_, args, out); }
    TempHome home_;
    std::string db_;
};

TEST_F(Cli, SchemaAsJson) {
    std::string out;
    ASSERT_EQ(Run("schema --db " + Arg(db_) + " --json", out), 0);
    EXPECT_EQ(out.rfind("{\"tables\":[{\"Nombre\":\"Clientes\",\"Campos\":[{\"Nombre\":\"Id\","
                        "\"Tipo\":4},",
                        0),
              0u)
        << out;
    EXPECT_NE(out.find("{\"Nombre\":\"PrimaryKey\",\"Unico\":true,\"ClaveAjena\":false,"
                       "\"Campos\":[\"IdPedido\",\"Num\"]}"),
              std::string::npos);
    EXPECT_NE(out.find("\"relations\":[{\"Name\":\"ClientesPedidos\",\"Table\":\"Clientes\","
                       "\"ForeignTable\":\"Pedidos\",\"Fields\":[{\"Name\":\"Id\","
                       "\"ForeignName\":\"IdCliente\"}]}"),
              std::string::npos)
        << out;
}

TEST_F(Cli, SqlPrintsTypedRows) {
    std::string out;
    ASSERT_EQ(Run("sql --db " + Arg(db_) +
                      " --json \"select Nombre, Saldo, Alta, Vip from Clientes where Ciudad = "
                      "'ÁVILA' and Alta < #01/01/2002# order by Id\"",
                  out),
              0);
    EXPECT_EQ(out,
              "{\"columns\":[\"Nombre\",\"Saldo\",\"Alta\",\"Vip\"],\"rows\":[[\"Ana\",10.5,"
              "\"1999-03-15\",1],[\"Luis\",null,\"2001-01-02\",0]]}\n");
    ASSERT_EQ(
        Run("sql --db " + Arg(db_) + " \"select Id, Nombre from Clientes where Id < 3\"", out), 0);
    EXPECT_EQ(out, "Id\tNombre\n1\tAna\n2\tLuis\n");
}

// Which statements are refused is the engine's test, the time limit the limits test's: here
// that a refusal and an error reach the output.
TEST_F(Cli, SqlRefusesWritesAndReportsErrors) {
    const std::string before = ReadBytes(db_);
    std::string out;
    EXPECT_NE(Run("sql --db " + Arg(db_) + " --json \"delete from main.Clientes\"", out), 0);
    EXPECT_EQ(out.rfind("{\"error\":{\"number\":23,", 0), 0u) << out;
    EXPECT_NE(Run("sql --db " + Arg(db_) + " --json \"select * from NoExiste\"", out), 0);
    EXPECT_NE(out.find("no such table"), std::string::npos);
    EXPECT_EQ(ReadBytes(db_), before);
}

TEST_F(Cli, UsageErrors) {
    std::string out;
    EXPECT_EQ(Run("--help", out), 0);
    EXPECT_NE(out.find("schema --db FILE"), std::string::npos);
    EXPECT_EQ(Run("--version", out), 0);
    EXPECT_EQ(out, "veliora-cli " + std::string(VersionPrograma()) + "\n");
    EXPECT_EQ(Run("schema", out), 2);
    EXPECT_EQ(Run("frobnicate", out), 2);
    EXPECT_EQ(Run("sql --db " + Arg(db_) + " --bogus x \"select 1\"", out), 2);
    EXPECT_EQ(Run("schema --db " + Arg((home_ / "missing.db").string()), out), 1);
}

}  // namespace
}  // namespace veliora::test
