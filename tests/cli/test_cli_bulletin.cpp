// veliora-cli bulletin: the bulletin windows' work from the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/fixtures.h"

namespace veliora::test {
namespace {

namespace fs = std::filesystem;

class CliBulletin : public ::testing::Test {
  protected:
    void SetUp() override {
        db_ = (home_ / "clase.db").string();
        BuildFixture(db_, "eng_tienda");
    }
    int Run(const std::string& args, std::string& out) {
        return RunCli(home_, "bulletin " + args, out);
    }
    // `args` is a subcommand and its options; --db is added after the subcommand.
    int Bulletin(const std::string& args, std::string& out) {
        const std::size_t blanco = std::min(args.find(' '), args.size());
        return Run(args.substr(0, blanco) + " --db " + ShellArg(db_) + args.substr(blanco), out);
    }
    TempHome home_;
    std::string db_;
};

TEST_F(CliBulletin, AddShowListAndDelete) {
    std::string out;
    ASSERT_EQ(Bulletin("add --name \"O'Tema\" --question '¿Qué?' --answer 'select 1'", out), 0);
    EXPECT_EQ(out, "1\n");
    ASSERT_EQ(Bulletin("add --name \"O'Tema\" --number 5 --question Dos --answer 'select\n2'", out),
              0);
    ASSERT_EQ(Bulletin("add --name \"O'Tema\" --question Tres --answer 'select 3'", out), 0);
    EXPECT_EQ(out, "6\n");
    // Refused: a taken number, a number that is not one, a blank name.
    EXPECT_EQ(Bulletin("add --name \"O'Tema\" --number 5 --question x --answer y", out), 1);
    EXPECT_EQ(Bulletin("add --name \"O'Tema\" --number '5 or 1=1' --question x --answer y", out),
              1);
    EXPECT_EQ(Bulletin("add --name '  ' --question x --answer y", out), 1);
    // An answer that cannot run on the database is refused with the reason, unless forced.
    const std::string rota = "bulletin add --db " + ShellArg(db_) +
                             " --name \"O'Tema\" --question x --answer 'select Nada from Nadie'";
    EXPECT_EQ(RunCli(home_, rota, out, true), 1);
    EXPECT_NE(out.find("No existe la tabla Nadie"), std::string::npos) << out;
    ASSERT_EQ(RunCli(home_, rota + " --force", out), 0);
    ASSERT_EQ(Bulletin("delete --name \"O'Tema\" --number 7", out), 0);

    ASSERT_EQ(Bulletin("show --name \"O'Tema\" --json", out), 0);
    EXPECT_EQ(out,
              "{\"name\":\"O'Tema\",\"lines\":[{\"number\":1,\"question\":\"¿Qué?\",\"answer\":"
              "\"select 1\"},{\"number\":5,\"question\":\"Dos\",\"answer\":\"select\\n2\"},"
              "{\"number\":6,\"question\":\"Tres\",\"answer\":\"select 3\"}]}\n");
    ASSERT_EQ(Bulletin("delete --name \"O'Tema\" --number 5", out), 0);
    EXPECT_EQ(Bulletin("delete --name \"O'Tema\" --number 5", out), 1);
    ASSERT_EQ(Bulletin("list --json", out), 0);
    EXPECT_EQ(out, "{\"bulletins\":[{\"name\":\"O'Tema\",\"lines\":2}]}\n");
    ASSERT_EQ(Bulletin("delete --name \"O'Tema\"", out), 0);
    ASSERT_EQ(Bulletin("list", out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(Bulletin("show --name \"O'Tema\"", out), 1);
}

TEST_F(CliBulletin, ExportAndImport) {
    std::string out;
    ASSERT_EQ(Bulletin("add --name Tema1 --question Uno --answer 'select 1'", out), 0);
    ASSERT_EQ(Bulletin("export --name Tema1 --layout separadas", out), 0);
    EXPECT_EQ(out, (home_ / "Tema1.TXT").string() + "\n");
    EXPECT_EQ(ReadBytes(home_ / "Tema1.TXT"),
              "1. Uno\r\n\r\n\r\n1. select 1\r\n----------------------------------------\r\n\r\n");
    ASSERT_EQ(
        Bulletin("export --name Tema1 --format pdf --out " + ShellArg((home_ / "t.pdf").string()),
                 out),
        0);
    EXPECT_EQ(ReadBytes(home_ / "t.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(Bulletin("export --name Tema1 --layout otra", out), 1);
    ASSERT_EQ(Bulletin("add --name ../x --question q --answer 'select 2'", out), 0);
    EXPECT_EQ(Bulletin("export --name ../x", out), 1);

    // A teacher's copy of this database's auxiliary file, with other bulletins.
    const fs::path disco = home_ / "disco";
    fs::create_directories(disco);
    fs::copy_file(home_ / "clase.db_", disco / "clase.db_");
    ASSERT_EQ(Bulletin("delete --name Tema1", out), 0);
    std::ofstream(disco / "nota.txt") << "x";
    EXPECT_EQ(Run("import --from " + ShellArg(disco.string()), out), 1);
    EXPECT_EQ(out, "copied 1, failed 0, not replaced 1\n");
    ASSERT_EQ(Run("import --from " + ShellArg(disco.string()) + " --yes", out), 0);
    ASSERT_EQ(Bulletin("list", out), 0);
    EXPECT_EQ(out, "../x\t1\nTema1\t1\n");
    EXPECT_EQ(Run("import --from " + ShellArg((home_ / "nada").string()), out), 1);
}

}  // namespace
}  // namespace veliora::test
