#include <gtest/gtest.h>

#include "core/engine/database.h"

using veliora::engine::TranslateDialect;

TEST(Dialect, DateLiteralsBecomeIsoTexts) {
    EXPECT_EQ(TranslateDialect("select * from t where d = #03/15/1999#"),
              "select * from t where d = '1999-03-15'");
    EXPECT_EQ(TranslateDialect("d > #3/5/2001#"), "d > '2001-03-05'");
    EXPECT_EQ(TranslateDialect("d = #12/31/2020 23:05:09#"), "d = '2020-12-31 23:05:09'");
    EXPECT_EQ(TranslateDialect("d = #01/02/2020 7:05#"), "d = '2020-01-02 07:05:00'");
    EXPECT_EQ(TranslateDialect("d between #01/01/2020# and #12/31/2020#"),
              "d between '2020-01-01' and '2020-12-31'");
}

TEST(Dialect, MalformedDatesAreLeftAlone) {
    EXPECT_EQ(TranslateDialect("d = #13/01/2020#"), "d = #13/01/2020#");
    EXPECT_EQ(TranslateDialect("d = #01/01/20#"), "d = #01/01/20#");
    EXPECT_EQ(TranslateDialect("a # b"), "a # b");
}

TEST(Dialect, CountOfTableBecomesCountStar) {
    EXPECT_EQ(TranslateDialect("Select Count([Clientes].* ) from [Clientes]"),
              "Select count(*) from [Clientes]");
    EXPECT_EQ(TranslateDialect("select count(clientes.*) from clientes"),
              "select count(*) from clientes");
    EXPECT_EQ(TranslateDialect("select COUNT ( [Lineas Pedido] . * ) from x"),
              "select count(*) from x");
    EXPECT_EQ(TranslateDialect("select count(\"t\".*), count(*) from t"),
              "select count(*), count(*) from t");
    // Other counts and words that merely end in "count" stay as they are.
    EXPECT_EQ(TranslateDialect("select count(t.a), discount(t.*) from t"),
              "select count(t.a), discount(t.*) from t");
}

TEST(Dialect, NothingIsRewrittenInsideQuotesBracketsOrComments) {
    const char* kept[] = {
        "select '#03/15/1999#' from t",
        "select [#03/15/1999#] from t",
        "select \"count(t.*)\" from t",
        "select 'it''s #01/01/2000# count(t.*)' from t",
        "select 1 -- #01/01/2000# count(t.*)\n",
        "select 1 /* #01/01/2000# count(t.*) */",
        "select [count(t.*)] from t",
    };
    for (const char* sql : kept) EXPECT_EQ(TranslateDialect(sql), sql) << sql;
    EXPECT_EQ(TranslateDialect("select 'a' , #01/01/2000# , '#01/01/2000#'"),
              "select 'a' , '2000-01-01' , '#01/01/2000#'");
}

TEST(Dialect, LiteralsAfterAComparisonCompareIgnoringCase) {
    EXPECT_EQ(TranslateDialect("having max(a) = 'X'"), "having max(a) = 'X' COLLATE es_ci");
    EXPECT_EQ(TranslateDialect("a<>'x' and b >= 'y'"),
              "a<>'x' COLLATE es_ci and b >= 'y' COLLATE es_ci");
    // Elsewhere, and where the statement gives its own collation, literals stay as written.
    EXPECT_EQ(TranslateDialect("select 'a' as b, c like 'd%' from t"),
              "select 'a' as b, c like 'd%' from t");
    EXPECT_EQ(TranslateDialect("a = 'x' collate binary"), "a = 'x' collate binary");
    EXPECT_EQ(TranslateDialect("d = #03/15/1999#"), "d = '1999-03-15'");
}

