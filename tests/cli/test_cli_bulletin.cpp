// veliora-cli bulletin: the bulletin windows' work from the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/base/textos.h"
#include "core/bulletins/encriptar.h"
#include "core/base/textos.h"
#include "core/shell/errores.h"
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
    // Refused: a taken number; usage errors: a number that is not one, a name of blanks or
    // control characters.
    EXPECT_EQ(Bulletin("add --name \"O'Tema\" --number 5 --question x --answer y", out), 1);
    EXPECT_EQ(Bulletin("add --name \"O'Tema\" --number '5 or 1=1' --question x --answer y", out),
              2);
    EXPECT_EQ(Bulletin("add --name '  ' --question x --answer y", out), 2);
    EXPECT_EQ(Bulletin("add --name \"$(printf ' \\001\\t')\" --question x --answer y", out), 2);
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
    for (const char* malo :
         {"export --name Tema1 --layout otra", "export --name Tema1 --format doc",
          "export --name Tema1 --number 1", "delete --name Tema1 --number 0",
          "delete --name Tema1 --number 2x", "list --yes"})
        EXPECT_EQ(Bulletin(malo, out), 2) << malo;
    EXPECT_EQ(Run("export --name Tema1", out), 2);  // without --db
    EXPECT_EQ(Run("rename", out), 2);
    ASSERT_EQ(Bulletin("add --name ../x --question q --answer 'select 2'", out), 0);
    EXPECT_EQ(Bulletin("export --name ../x", out), 1);

    // Never onto data, whatever the path: exit 1 with the reason, the database as it was.
    const fs::path disco = home_ / "disco";
    fs::create_directories(disco);
    fs::create_symlink(db_, home_ / "enlace.txt");
    const std::string bytes = ReadBytes(db_);
    for (const fs::path& destino : {disco / ".." / "clase.db", home_ / "enlace.txt"})
        for (const char* formato : {"txt", "pdf"}) {
            EXPECT_EQ(RunCli(home_,
                             "bulletin export --db " + ShellArg(db_) + " --name Tema1 --format " +
                                 formato + " --out " + ShellArg(destino.string()),
                             out, true),
                      1);
            EXPECT_NE(out.find(Texto(2100, destino.string())), std::string::npos) << out;
        }

    // A teacher's copy of this database's auxiliary file, with other bulletins; a damaged
    // auxiliary file, and one whose place here is a link to the user's database: neither copied.
    fs::copy_file(home_ / "clase.db_", disco / "clase.db_");
    fs::copy_file(home_ / "clase.db_", disco / "u.db_");
    std::ofstream(disco / "r.db_", std::ios::binary) << std::string("\x13\x37\0basura", 9);
    fs::create_symlink(db_, home_ / "u.db_");
    ASSERT_EQ(Bulletin("delete --name Tema1", out), 0);
    std::ofstream(disco / "nota.txt") << "x";
    EXPECT_EQ(Run("import --from " + ShellArg(disco.string()), out), 1);
    EXPECT_EQ(out, "copied 1, failed 2, not replaced 1\n");
    EXPECT_EQ(Run("import --from " + ShellArg(disco.string()) + " --yes", out), 1);
    ASSERT_EQ(Bulletin("list", out), 0);
    EXPECT_EQ(out, "../x\t1\nTema1\t1\n");
    EXPECT_EQ(ReadBytes(db_), bytes);
    EXPECT_TRUE(fs::is_symlink(home_ / "u.db_"));
    EXPECT_FALSE(fs::exists(home_ / "r.db_"));
    EXPECT_EQ(Run("import --from " + ShellArg((home_ / "nada").string()), out), 1);
}

// Stored values are shown whole: an embedded NUL escaped, a number out of range refused.
TEST_F(CliBulletin, ShowsStoredValuesWholeOrRefusesThem) {
    std::string out;
    ASSERT_EQ(Bulletin("add --name Tema1 --question Uno --answer 'select 1'", out), 0);
    ASSERT_EQ(Bulletin("add --name Tema2 --question Dos --answer 'select 2'", out), 0);
    {
        auto aux = OpenDatabase(home_ / "clase.db_", engine::Database::Kind::Auxiliary);
        ASSERT_TRUE(aux);
        engine::Error err;
        ASSERT_TRUE(aux->Execute(
            "update LBoletines set Pregunta = ? where NombreBoletin = 'Tema1'", err,
            {engine::Value::Blob(EncriptarBytes(std::string("a\0b\x1b[2J", 7), kClaveRespuestas))}))
            << veliora::TextoDeError(err);
        ASSERT_TRUE(aux->Execute(
            "update LBoletines set NumPregunta = 1099511627776 where NombreBoletin = 'Tema2'",
            err));
    }
    ASSERT_EQ(Bulletin("show --name Tema1", out), 0);
    EXPECT_EQ(out, "1. a\\x00b\\x1b[2J\n1. select 1\n\n");
    ASSERT_EQ(Bulletin("show --name Tema1 --json", out), 0);
    EXPECT_NE(out.find("\"question\":\"a\\u0000b\\u001b[2J\""), std::string::npos) << out;
    EXPECT_EQ(RunCli(home_, "bulletin show --db " + ShellArg(db_) + " --name Tema2", out, true), 1);
    EXPECT_NE(out.find("1099511627776"), std::string::npos) << out;
}

}  // namespace
}  // namespace veliora::test
