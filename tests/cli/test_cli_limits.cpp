// veliora-cli under hostile input: bad option values, bytes that are not UTF-8, statements
// the engine does not return from, kinds the database cannot give.
#include <gtest/gtest.h>

#include "support/fixtures.h"

namespace veliora::test {
namespace {

const auto Arg = ShellArg;

// Whether the text is well-formed UTF-8 (what a JSON parser requires of its input).
bool Utf8Valido(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80                 ? 1
                        : c >= 0xC2 && c <= 0xDF ? 2
                        : c >= 0xE0 && c <= 0xEF ? 3
                        : c >= 0xF0 && c <= 0xF4 ? 4
                                                 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

class CliLimits : public ::testing::Test {
  protected:
    void SetUp() override {
        db_ = (home_ / "tienda.db").string();
        BuildFixture(db_, "eng_tienda");
    }
    // Standard output and error together.
    int Run(const std::string& args, std::string& out) { return RunCli(home_, args, out, true); }
    TempHome home_;
    std::string db_;
};

TEST_F(CliLimits, BadNumericValuesAreUsageErrors) {
    const std::string db = " --db " + Arg(db_) + " ";
    const std::string commands[] = {
        "sql" + db + "%s \"select 1\"",
        "generate" + db + "%s",
        "check" + db + "--solution \"select 1\" --answer \"select 1\" %s",
    };
    const char* values[] = {"abc", "''", "0", "-5", "99999999999999999999", "3600001", "1.5"};
    for (const std::string& command : commands) {
        for (const char* value : values) {
            std::string args = command;
            args.replace(args.find("%s"), 2, std::string("--timeout ") + value);
            std::string out;
            EXPECT_EQ(Run(args, out), 2) << args << "\n" << out;
            EXPECT_NE(out.find("--timeout takes a whole number"), std::string::npos) << out;
        }
    }
    for (const char* args :
         {"--count x", "--count -1", "--seed 99999999999999999999", "--seed ''"}) {
        std::string out;
        EXPECT_EQ(Run("generate" + db + args, out), 2) << args << "\n" << out;
    }
    std::string out;
    EXPECT_EQ(Run("sql" + db + "--timeout 3600000 \"select 1\"", out), 0) << out;
}

TEST_F(CliLimits, JsonOutputIsValidUtf8WhateverTheData) {
    const auto path = home_ / "bytes.db";
    BuildDatabase(path,
                  "CREATE TABLE b (x TEXT);"
                  "INSERT INTO b VALUES (CAST(X'41FF42C3' AS TEXT)), ('ñ'),"
                  " (CAST(X'EDA080' AS TEXT)), (CAST(X'F4908080' AS TEXT));");
    std::string out;
    ASSERT_EQ(
        Run("sql --json --db " + Arg(path.string()) + " \"select x, cast(x as blob) from b\"", out),
        0)
        << out;
    EXPECT_TRUE(Utf8Valido(out)) << out;
    EXPECT_NE(out.find("A\xEF\xBF\xBD"
                       "B\xEF\xBF\xBD"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\xC3\xB1"), std::string::npos) << "valid text is kept: " << out;
    std::string parsed;
    if (RunCommand("python3 --version >/dev/null 2>&1", parsed) == 0) {
        EXPECT_EQ(RunCommand("python3 -c 'import json,sys; json.load(sys.stdin)' <<'EOF'\n" + out +
                                 "EOF\n",
                             parsed),
                  0)
            << out;
    }
}

// One engine call that runs for long over a text the statement built: the command still
// ends with the time-limit result, through the watchdog.
TEST_F(CliLimits, StuckStatementsEndWithTheTimeLimit) {
    const std::string stuck =
        "\"select length(replace(printf('%.*c', 30000000, 'x'), printf('%.*c', 15000000, "
        "'x') || 'y', 'z'))\"";
    std::string out;
    EXPECT_EQ(Run("sql --json --timeout 300 --db " + Arg(db_) + " " + stuck, out), 1);
    EXPECT_NE(out.find("\"number\":9"), std::string::npos) << out;
    EXPECT_EQ(Run("check --json --timeout 300 --db " + Arg(db_) +
                      " --solution \"select 1\" --answer " + stuck,
                  out),
              0);
    EXPECT_NE(out.find("\"reason\":\"time_limit\""), std::string::npos) << out;
    // generate's limit bounds its whole run, not each statement.
    EXPECT_EQ(Run("generate --timeout 300 --count 100000000 --db " + Arg(db_), out), 1);
    EXPECT_NE(out.find("time limit of 300 ms ended the run"), std::string::npos) << out;
}

TEST_F(CliLimits, GenerateSkipsKindsTheDatabaseCannotGive) {
    const auto path = home_ / "sinrelaciones.db";
    BuildDatabase(path,
                  "CREATE TABLE A (Id INTEGER PRIMARY KEY, Nombre TEXT, Edad INTEGER);"
                  "INSERT INTO A VALUES (1, 'uno', 3), (2, 'dos', 4), (3, 'tres', 5);");
    const std::string db = "generate --db " + Arg(path.string()) + " --seed 3 ";
    std::string out;
    EXPECT_EQ(Run(db + "--count 20 --kinds 1,2,3,4,5", out), 0) << out;
    EXPECT_NE(out.find("box 2 skipped"), std::string::npos) << out;
    EXPECT_NE(out.find("box 3 skipped"), std::string::npos) << out;
    EXPECT_NE(out.find("Question 20 "), std::string::npos) << out;
    EXPECT_EQ(Run(db + "--kinds 2,3", out), 1) << out;
    EXPECT_NE(out.find("none of the requested kinds"), std::string::npos) << out;
}

}  // namespace
}  // namespace veliora::test
