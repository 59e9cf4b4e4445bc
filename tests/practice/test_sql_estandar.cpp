// The standard form of a statement: how each piece of the program's dialect is written, and
// generated solutions of the samples running unchanged in plain SQLite and in PostgreSQL.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "core/generator/generador.h"
#include "core/practice/sql_estandar.h"
#include "core/shell/rutinas.h"
#include "support/fixtures.h"
#include "support/postgres.h"

namespace veliora {
namespace {

VistaEsquema Tienda() {
    VistaEsquema v;
    v.Tablas.push_back({"Asset Items", {{"Id", "INTEGER"}, {"Nombre", "TEXT"}}, {}, {}, {}});
    v.Tablas.push_back({"Clientes", {{"Alta", "DATE"}, {"Activo", "BOOLEAN"}}, {}, {}, {}});
    return v;
}

TEST(SqlEstandar, CadaPiezaDelDialecto) {
    const struct {
        const char* sql;
        const char* estandar;
    } casos[] = {
        {"Select count([asset items].*) from [asset items]",
         R"(Select count(*) from "Asset Items")"},
        {"Select clientes.alta from clientes where clientes.alta < #07/10/2023#",
         R"(Select "Clientes"."Alta" from "Clientes" where "Clientes"."Alta" < '2023-07-10')"},
        {"Select [clientes].[activo] from [clientes] where [clientes].[activo] = 0",
         R"(Select "Clientes"."Activo" from "Clientes" where "Clientes"."Activo" = false)"},
        {"select c.activo from clientes c where c.activo <> -1 and c.nombre = 'clientes'",
         R"(select c."Activo" from "Clientes" c where c."Activo" <> true and c."Nombre" = 'clientes')"},
        // Functions, keywords, numbers, aliases and comments stay.
        {"select max(id) as alta2 from clientes -- [id]\n",
         "select max(\"Id\") as alta2 from \"Clientes\" -- [id]\n"},
        {R"(select "asset items".id from "asset items")",
         R"(select "Asset Items"."Id" from "Asset Items")"},
    };
    for (const auto& c : casos) EXPECT_EQ(SqlEstandar(c.sql, Tienda()), c.estandar) << c.sql;
}

// Runs a statement in SQLite as any tool does: no function, collation or view of the program.
std::string EnSqlitePlano(const std::filesystem::path& bd, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(bd.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) rc = SQLITE_OK;
    const std::string error = rc == SQLITE_DONE ? "" : sqlite3_errmsg(db);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return error;
}

TEST(SqlEstandar, LasSolucionesCorrenEnSqliteYPostgres) {
    test::ServidorPostgres pg;
    if (!pg.Disponible())
        GTEST_SKIP() << pg.Motivo();
    test::TempHome home;
    for (const char* muestra : {"tienda", "escuela"}) {
        const auto ruta = test::SamplePath(std::string(muestra) + ".db");
        auto usuario = test::OpenDatabase(ruta, engine::Database::Kind::User);
        auto auxiliar = test::OpenDatabase(test::SamplePath(std::string(muestra) + ".db_"),
                                           engine::Database::Kind::Auxiliary);
        ASSERT_TRUE(usuario && auxiliar);
        engine::EngineError err;
        VistaEsquema vista;
        ASSERT_TRUE(LeerVistaEsquema(*usuario, auxiliar.get(), vista, err)) << err.description;
        std::string salida;
        ASSERT_TRUE(pg.Psql("DROP SCHEMA public CASCADE; CREATE SCHEMA public;", salida) == 0)
            << salida;
        ASSERT_TRUE(pg.Copiar(*usuario, salida)) << salida;

        GeneradorConsultas generador(usuario, auxiliar);
        ASSERT_TRUE(generador.Cargar(err)) << err.description;
        SembrarAleatorio(2024);
        std::string script;
        for (int i = 0; i < 60; ++i) {
            if (!generador.GenerarPregunta({true, true, true, true, true}))
                continue;
            const std::string sql = SqlEstandar(generador.SolucionSQL(), vista);
            EXPECT_EQ(EnSqlitePlano(ruta, sql), "") << sql;
            script += sql + ";\n";
        }
        EXPECT_EQ(pg.Psql(script, salida), 0) << muestra << ":\n" << salida;
    }
}

}  // namespace
}  // namespace veliora
