// A whole result written to CSV as it is read: quoting, a result far larger than the memory
// budget of a recordset, and an interrupted export that leaves nothing behind.
#include <gtest/gtest.h>

#include "core/practice/exportar_csv.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

namespace fs = std::filesystem;

TEST(ExportarCsv, CamposEntreComillasSoloCuandoHaceFalta) {
    EXPECT_EQ(CampoCsv("Ana"), "Ana");
    EXPECT_EQ(CampoCsv("1,5"), "\"1,5\"");
    EXPECT_EQ(CampoCsv("dijo \"hola\""), "\"dijo \"\"hola\"\"\"");
    EXPECT_EQ(CampoCsv("dos\nlíneas"), "\"dos\nlíneas\"");
}

TEST(ExportarCsv, CienMilFilasConUnPresupuestoDeMemoriaPequeno) {
    test::TempHome home;
    test::BuildDatabase(home / "n.db", "CREATE TABLE t (x INTEGER); INSERT INTO t VALUES (1);");
    auto bd = test::OpenDatabase(home / "n.db", engine::Database::Kind::User);
    ASSERT_TRUE(bd);
    engine::Limits limites = bd->limits();
    limites.maxBytes = 64 * 1024;  // far below what 100,000 rows take
    bd->SetLimits(limites);
    const std::string sql =
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000) "
        "select i as numero, 'fila, ' || i as texto, null as nada from n";
    engine::Error err;
    // Held whole, the result passes the budget...
    auto rs = bd->OpenRecordset(sql, err);
    ASSERT_TRUE(rs);
    rs->MoveLast();
    EXPECT_TRUE(rs->Error().failed());
    rs.reset();
    // ...written as it is read, it does not.
    std::atomic<std::size_t> filas{0};
    ASSERT_TRUE(ExportarCsv(*bd, sql, home / "n.csv", filas, err)) << veliora::TextoDeError(err);
    EXPECT_EQ(filas.load(), 100000u);
    const std::string csv = test::ReadBytes(home / "n.csv");
    EXPECT_EQ(csv.substr(0, 33), "numero,texto,nada\r\n1,\"fila, 1\",\r\n");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 100001);

    // Interrupted: the earlier file stays as it was and no temporary file is left.
    bd->Interrupt();
    EXPECT_FALSE(ExportarCsv(*bd, sql, home / "n.csv", filas, err));
    bd->ResetInterrupt();
    EXPECT_EQ(test::ReadBytes(home / "n.csv"), csv);
    int archivos = 0;
    for (const auto& e : fs::directory_iterator(home.path()))
        archivos += e.path().extension() != ".db";
    EXPECT_EQ(archivos, 1);

    // Never onto the open database, directly or through a link: refused, the file intact.
    const std::string base = test::ReadBytes(home / "n.db");
    fs::create_symlink(home / "n.db", home / "enlace.csv");
    for (const fs::path& destino : {home / "n.db", home / "enlace.csv"}) {
        EXPECT_FALSE(ExportarCsv(*bd, "select 1", destino, filas, err)) << destino;
        EXPECT_TRUE(err.failed()) << destino;
    }
    EXPECT_EQ(test::ReadBytes(home / "n.db"), base);
}

}  // namespace
}  // namespace veliora
