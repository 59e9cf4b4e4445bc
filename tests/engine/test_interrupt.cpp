// Database::Interrupt from another thread: the running statement stops at once and every
// later step fails until ResetInterrupt, so nothing started after a cancel runs on.
#include <gtest/gtest.h>

#include <thread>

#include "core/engine/database.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace {

using veliora::engine::Database;
using veliora::engine::Error;

constexpr const char* kSinFin =
    "with recursive r(n) as (select 1 union all select n + 1 from r) select count(*) from r";

TEST(Interrupt, StopsARunawayStatementUntilReset) {
    veliora::test::TempHome home;
    veliora::test::BuildDatabase(home / "a.db",
                                 "CREATE TABLE T (A INTEGER); INSERT INTO T VALUES (1);");
    Error err;
    auto db = Database::Open((home / "a.db").string(), Database::Kind::User, err);
    ASSERT_TRUE(db) << veliora::TextoDeError(err);

    std::thread otro([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        db->Interrupt();
    });
    // Well before its 10-second time limit.
    auto rs = db->OpenRecordset(kSinFin, err);
    otro.join();
    EXPECT_FALSE(rs);
    EXPECT_TRUE(TimedOut(err));

    EXPECT_FALSE(db->OpenRecordset("select A from T", err));
    db->ResetInterrupt();
    auto bien = db->OpenRecordset("select A from T", err);
    ASSERT_TRUE(bien) << veliora::TextoDeError(err);
    EXPECT_EQ(bien->Field(0).toSpanishText(), "1");
}

}  // namespace
