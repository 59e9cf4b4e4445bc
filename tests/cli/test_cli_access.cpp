// veliora-cli access convert, and Access files wherever --db takes a database.
#include <gtest/gtest.h>

#include <fstream>

#include "core/base/textos.h"
#include "support/fixtures.h"

namespace veliora::test {
namespace {

namespace fs = std::filesystem;

class CliAccess : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::is_directory(AccessFixtureDir()))
            GTEST_SKIP() << "no Access fixtures at " << AccessFixtureDir().string();
        if (!fs::exists(fs::path(VELIORA_BIN_DIR) / "veliora-mdb"))
            GTEST_SKIP() << "veliora-mdb was not built (mdbtools-dev missing: run scripts/setup)";
        nwind_ = (AccessFixtureDir() / "nwind.mdb").string();
    }
    int Run(const std::string& args, std::string& out) { return RunCli(home_, args, out); }
    TempHome home_;
    std::string nwind_;
};

TEST_F(CliAccess, ConvertReportsTablesRowsAndRelationships) {
    const fs::path salida = home_ / "nw.db";
    std::string out;
    ASSERT_EQ(Run("access convert --mdb " + ShellArg(nwind_) + " --out " +
                      ShellArg(salida.string()) + " --json",
                  out),
              0);
    EXPECT_EQ(out.rfind("{\"output\":\"" + salida.string() +
                            "\",\"reused\":false,\"complete\":true,\"tables\":9,\"rows\":4032,"
                            "\"relationships\":7,\"details\":[{\"name\":\"Order Details\","
                            "\"converted\":true,\"rows\":2155,\"notes\":[]},",
                        0),
              0u)
        << out;
    EXPECT_NE(out.find("{\"name\":\"Umsätze\",\"converted\":true,\"rows\":830,"),
              std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(salida));

    // Without --out: into the application directory, reused while the file is unchanged.
    ASSERT_EQ(Run("access convert --mdb " + ShellArg(nwind_) + " --json", out), 0);
    EXPECT_NE(out.find("\"reused\":false"), std::string::npos) << out;
    ASSERT_EQ(Run("access convert --mdb " + ShellArg(nwind_) + " --json", out), 0);
    EXPECT_NE(out.find("\"reused\":true,\"complete\":true,\"tables\":9,\"rows\":4032,"),
              std::string::npos)
        << out;
    EXPECT_TRUE(fs::is_regular_file(home_ / "importadas" / "nwind.db"));
}

TEST_F(CliAccess, EveryDbOptionTakesAnAccessFile) {
    std::string out;
    ASSERT_EQ(
        Run("sql --db " + ShellArg(nwind_) + " --json \"select count(*) from [Order Details]\"",
            out),
        0);
    EXPECT_EQ(out, "{\"columns\":[\"count(*)\"],\"rows\":[[2155]]}\n");
    ASSERT_EQ(Run("schema --db " + ShellArg(nwind_) + " --json", out), 0);
    EXPECT_NE(out.find("{\"Name\":\"OrdersOrder Details\",\"Table\":\"Orders\","
                       "\"ForeignTable\":\"Order Details\",\"Fields\":[{\"Name\":\"OrderID\","
                       "\"ForeignName\":\"OrderID\"}]}"),
              std::string::npos)
        << out;
    ASSERT_EQ(Run("generate --db " + ShellArg(nwind_) + " --count 3 --seed 7 --json", out), 0);
    EXPECT_NE(out.find("\"sql\":"), std::string::npos);
    // The auxiliary database goes by the Access file's name.
    EXPECT_TRUE(fs::is_regular_file(home_ / "nwind.mdb_"));
}

TEST_F(CliAccess, UnreadableFilesFailCleanly) {
    const fs::path roto = home_ / "roto.mdb";
    std::ofstream(roto, std::ios::binary) << ReadBytes(nwind_).substr(0, 50000);
    std::string out;
    EXPECT_EQ(Run("access convert --mdb " + ShellArg(roto.string()) + " --out " +
                      ShellArg((home_ / "roto.db").string()) + " --json",
                  out),
              1);
    EXPECT_EQ(out.rfind("{\"error\":{\"number\":14,", 0), 0u) << out;
    EXPECT_FALSE(fs::exists(home_ / "roto.db"));
    EXPECT_EQ(Run("sql --db " + ShellArg(roto.string()) + " \"select 1\"", out), 1);

    // A row of Orders marked deleted on its data page (page 399, first row): read without
    // any error, the count the catalog keeps tells it is missing.
    std::string bytes = ReadBytes(nwind_);
    bytes[399 * 2048 + 11] = char(bytes[399 * 2048 + 11] | 0x40);
    const fs::path herido = home_ / "herido.mdb";
    std::ofstream(herido, std::ios::binary) << bytes;
    EXPECT_EQ(RunCli(home_,
                     "access convert --json --mdb " + ShellArg(herido.string()) + " --out " +
                         ShellArg((home_ / "herido.db").string()),
                     out, true),
              0);
    EXPECT_NE(out.find("\"complete\":false,\"tables\":9,\"rows\":4031,"), std::string::npos) << out;
    EXPECT_NE(out.find("veliora-cli: note: Orders: " + Texto(2130, {"829", "830"})),
              std::string::npos)
        << out;
    EXPECT_EQ(Run("access convert", out), 2);
    EXPECT_EQ(Run("access", out), 2);
    EXPECT_EQ(Run("access convert --out x.db", out), 2);
}

}  // namespace
}  // namespace veliora::test
