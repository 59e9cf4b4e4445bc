// The standard form of a statement: how each piece of the program's dialect is written, and
// generated solutions of the samples running unchanged in plain SQLite and in PostgreSQL.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "core/base/rutinas.h"
#include "core/generator/generador.h"
#include "core/practice/sql_estandar.h"
#include "core/base/rutinas.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"
#include "support/servidor_pg.h"

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

// The PostgreSQL type a declared type's values are copied as.
std::string TipoPostgres(const std::string& declarado) {
    namespace T = engine::TypeCode;
    switch (engine::TypeCodeFromDeclared(declarado)) {
        case T::Boolean:
            return "boolean";
        case T::Byte:
        case T::Integer:
        case T::Long:
        case T::BigInt:
            return "bigint";
        case T::Currency:
        case T::Numeric:
        case T::Decimal:
            return "numeric";
        case T::Single:
        case T::Double:
        case T::Float:
            return "double precision";
        case T::Date:
        case T::TimeStamp:
            return "timestamp";
        case T::Binary:
        case T::LongBinary:
        case T::VarBinary:
            return "bytea";
        default:
            return "text";
    }
}

// A script that copies every ordinary table of `origen` (definitions by declared type, and
// rows), names double-quoted as they are spelt.
std::string CopiaPostgres(engine::Database& origen) {
    engine::Error error;
    std::string script;
    for (const engine::TableDef& t : origen.TableDefs(error)) {
        if (t.Attributes != 0)
            continue;
        std::vector<std::string> tipos;
        std::string columnas;
        for (const engine::FieldDef& f : t.Fields) {
            tipos.push_back(TipoPostgres(f.DeclaredType));
            columnas +=
                (columnas.empty() ? "" : ", ") + engine::QuoteSql(f.Name, '"') + " " + tipos.back();
        }
        const std::string tabla = engine::QuoteSql(t.Name, '"');
        script += "CREATE TABLE " + tabla + " (" + columnas + ");\n";
        auto rs = origen.OpenForwardOnly("select * from " + tabla, error);
        for (; rs && !rs->Eof(); rs->MoveNext()) {
            std::string fila;
            for (int i = 0; i < rs->FieldCount(); ++i) {
                const engine::Value& v = rs->Field(i);
                const std::string& tipo = tipos[std::size_t(i)];
                fila += (i ? ", " : "");
                fila += v.isNull() || tipo == "bytea" ? "NULL"
                        : tipo == "boolean"           ? (v.toBool() ? "true" : "false")
                                                      : engine::QuoteSql(v.toPlainText(), '\'');
            }
            script += "INSERT INTO " + tabla + " VALUES (" + fila + ");\n";
        }
    }
    EXPECT_FALSE(error.failed()) << veliora::TextoDeError(error);
    return script;
}

TEST(SqlEstandar, LasSolucionesCorrenEnSqliteYPostgres) {
    VELIORA_SERVIDOR_PG(pg);
    test::TempHome home;
    for (const char* muestra : {"tienda", "escuela"}) {
        const auto ruta = test::SamplePath(std::string(muestra) + ".db");
        auto usuario = test::OpenDatabase(ruta, engine::Database::Kind::User);
        auto auxiliar = test::OpenDatabase(test::SamplePath(std::string(muestra) + ".db_"),
                                           engine::Database::Kind::Auxiliary);
        ASSERT_TRUE(usuario && auxiliar);
        engine::Error err;
        VistaEsquema vista;
        ASSERT_TRUE(LeerVistaEsquema(*usuario, auxiliar.get(), vista, err))
            << veliora::TextoDeError(err);
        const std::string base = std::string("estandar_") + muestra;
        ASSERT_TRUE(pg->NuevaBaseDatos(base));
        std::string salida;
        ASSERT_EQ(pg->Psql(base, CopiaPostgres(*usuario), salida), 0) << salida;

        GeneradorConsultas generador(usuario, auxiliar);
        ASSERT_TRUE(generador.Cargar(err)) << veliora::TextoDeError(err);
        SembrarAleatorio(2024);
        std::string script;
        for (int i = 0; i < 60; ++i) {
            if (!generador.GenerarPregunta({true, true, true, true, true}))
                continue;
            const std::string sql = SqlEstandar(generador.SolucionSQL(), vista);
            EXPECT_EQ(EnSqlitePlano(ruta, sql), "") << sql;
            script += sql + ";\n";
        }
        EXPECT_EQ(pg->Psql(base, script, salida), 0) << muestra << ":\n" << salida;
    }
}

}  // namespace
}  // namespace veliora
