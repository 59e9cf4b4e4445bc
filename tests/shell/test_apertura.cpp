// Opening a user database and finding or creating its auxiliary database.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "core/app/aplicacion.h"
#include "core/base/recursos.h"
#include "core/base/textos.h"
#include "core/session/apertura.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAlumnos =
    "CREATE TABLE Alumnos(Id INTEGER PRIMARY KEY, Nombre TEXT);"
    "INSERT INTO Alumnos VALUES (1, 'Ana'), (2, 'Luis');";

class Apertura : public ::testing::Test {
  protected:
    void Plantilla() {
        test::BuildDatabase(home_ / "bdaux.db", std::string(EmbeddedResource("bdaux.sql")));
    }

    fs::path BDAlumnos(const fs::path& carpeta, const std::string& nombre = "alumnos.db") {
        fs::create_directories(carpeta);
        test::BuildDatabase(carpeta / nombre, kAlumnos);
        return carpeta / nombre;
    }

    std::int64_t Contar(const std::string& tabla) {
        engine::Error err;
        auto valor = app_.Auxiliar()->Scalar("select count(*) from " + tabla, err);
        EXPECT_FALSE(err.failed()) << veliora::TextoDeError(err);
        return valor.toInt();
    }

    void AnadirBoletin(const std::string& nombre) {
        engine::Error err;
        ASSERT_TRUE(app_.Auxiliar()->Execute("Insert into CabBoletines (Nombre) values(?)", err,
                                             {engine::Value::Text(nombre)}))
            << veliora::TextoDeError(err);
    }

    test::TempHome home_;
    Aplicacion app_;
};

TEST_F(Apertura, UserDatabaseOpensReadOnlyIntoTheApplication) {
    fs::path ruta = BDAlumnos(home_ / "datos");
    EXPECT_EQ(app_.AbrirUsuario(ruta.string()), 0);
    ASSERT_TRUE(app_.Usuario());
    EXPECT_EQ(app_.Usuario()->Name(), ruta.string());
    EXPECT_EQ(app_.Usuario()->kind(), engine::Database::Kind::User);
}

TEST_F(Apertura, FailedUserOpenKeepsThePreviousDatabase) {
    fs::path buena = BDAlumnos(home_ / "datos");
    ASSERT_EQ(app_.AbrirUsuario(buena.string()), 0);
    auto anterior = app_.Usuario();

    fs::path texto = home_ / "datos" / "notas.db";
    std::ofstream(texto) << "esto no es una base de datos, aunque lo parezca por su nombre\n";
    engine::Error err;
    EXPECT_NE(app_.AbrirUsuario(texto.string(), &err), 0);
    EXPECT_TRUE(err.failed());
    EXPECT_EQ(app_.Usuario(), anterior);

    EXPECT_NE(app_.AbrirUsuario((home_ / "no" / "existe.db").string()), 0);
    EXPECT_EQ(app_.Usuario(), anterior);

    // What is not a regular file is refused at once, by name: a pipe would block the open,
    // a folder or a kernel file would read as an empty database.
    const fs::path tuberia = home_ / "datos" / "tuberia.mdb";
    ASSERT_EQ(mkfifo(tuberia.c_str(), 0600), 0);
    for (const fs::path& especial :
         {tuberia, home_ / "datos", fs::path("/proc/self/status"), fs::path("/dev/null")}) {
        EXPECT_NE(app_.AbrirUsuario(especial.string(), &err), 0) << especial;
        EXPECT_EQ(veliora::TextoDeError(err), Texto(2140, especial.string()));
        EXPECT_EQ(app_.Usuario(), anterior);
    }
}

// Created from the template, which stays as it was; reused while it exists, even without the
// template; created empty again once deleted.
TEST_F(Apertura, AuxiliaryFileIsCreatedFromTheTemplateThenReused) {
    Plantilla();
    const std::string plantilla = test::ReadBytes(home_ / "bdaux.db");
    fs::path aux = home_ / "alumnos.db_";
    EXPECT_EQ(RutaBDAuxiliar("alumnos.db"), aux);
    ASSERT_FALSE(fs::exists(aux));

    ASSERT_EQ(app_.AbrirAuxiliar("alumnos.db"), 0);
    ASSERT_TRUE(app_.Auxiliar());
    EXPECT_EQ(fs::path(app_.Auxiliar()->Name()), aux);
    EXPECT_EQ(app_.Auxiliar()->kind(), engine::Database::Kind::Auxiliary);
    EXPECT_EQ(Contar("Tablas"), 0);
    AnadirBoletin("Tema1");
    ASSERT_EQ(app_.AbrirAuxiliar("alumnos2.db"), 0);  // another name, another file
    EXPECT_EQ(Contar("CabBoletines"), 0);

    app_.SoltarBases();
    EXPECT_EQ(test::ReadBytes(home_ / "bdaux.db"), plantilla);
    fs::remove(home_ / "bdaux.db");
    ASSERT_EQ(app_.AbrirAuxiliar("alumnos.db"), 0);
    EXPECT_EQ(Contar("CabBoletines"), 1);

    app_.SoltarBases();
    fs::remove(aux);
    Plantilla();
    ASSERT_EQ(app_.AbrirAuxiliar("alumnos.db"), 0);
    EXPECT_EQ(Contar("CabBoletines"), 0);
}

TEST_F(Apertura, MissingTemplateOrFolderFailsWithoutTouchingAnything) {
    Plantilla();
    ASSERT_EQ(app_.AbrirAuxiliar("previa.db"), 0);
    auto anterior = app_.Auxiliar();
    // The auxiliary file would lie in a folder that does not exist.
    EXPECT_NE(app_.AbrirAuxiliar("no-existe/alumnos.db"), 0);
    fs::remove(home_ / "bdaux.db");
    engine::Error err;
    EXPECT_NE(app_.AbrirAuxiliar("alumnos.db", &err), 0);
    EXPECT_TRUE(err.failed());
    EXPECT_FALSE(fs::exists(home_ / "alumnos.db_"));
    EXPECT_EQ(app_.Auxiliar(), anterior);
}

TEST_F(Apertura, SameFileNameInTwoFoldersSharesOneAuxiliaryDatabase) {
    Plantilla();
    fs::path primera = BDAlumnos(home_ / "curso1");
    fs::path segunda = BDAlumnos(home_ / "curso2");
    EXPECT_EQ(RutaBDAuxiliar(primera.filename().string()),
              RutaBDAuxiliar(segunda.filename().string()));

    ASSERT_EQ(app_.AbrirUsuario(primera.string()), 0);
    ASSERT_EQ(app_.AbrirAuxiliar(primera.filename().string()), 0);
    AnadirBoletin("Compartido");

    ASSERT_EQ(app_.AbrirUsuario(segunda.string()), 0);
    ASSERT_EQ(app_.AbrirAuxiliar(segunda.filename().string()), 0);
    EXPECT_EQ(app_.Usuario()->Name(), segunda.string());
    EXPECT_EQ(Contar("CabBoletines"), 1);
}

TEST_F(Apertura, HelpPageIsNamedAfterTheUserDatabase) {
    EXPECT_TRUE(app_.RutaAyuda().empty());
    Plantilla();
    ASSERT_EQ(app_.AbrirAuxiliar("tienda.mdb"), 0);
    EXPECT_EQ(app_.RutaAyuda(), home_ / "tienda.htm");
    ASSERT_EQ(app_.AbrirAuxiliar("tienda.db"), 0);
    EXPECT_EQ(app_.RutaAyuda(), home_ / "tienda.htm");
    ASSERT_EQ(app_.AbrirAuxiliar("notas.sqlite"), 0);
    EXPECT_EQ(app_.RutaAyuda(), home_ / "notas.htm");
}

// A file where the auxiliary database should be that is no database or lacks its tables
// (empty, foreign, or with a column missing) is refused, and left exactly as it was.
TEST_F(Apertura, AuxiliaryFileWithoutItsTablesIsRefusedAndLeftAlone) {
    Plantilla();
    const fs::path aux = RutaBDAuxiliar("alumnos.db");
    std::string sinColumna(EmbeddedResource("bdaux.sql"));
    sinColumna.replace(sinColumna.find("PosY"), 4, "Otra");
    const std::vector<std::function<void()>> preparar = {
        [&] { std::ofstream(aux) << "basura que no es una base de datos SQLite en absoluto"; },
        [&] { std::ofstream(aux, std::ios::binary | std::ios::trunc); },
        [&] { test::BuildDatabase(aux, "CREATE TABLE Otra(x); INSERT INTO Otra VALUES (1);"); },
        [&] { test::BuildDatabase(aux, sinColumna + "INSERT INTO CabBoletines VALUES ('B1');"); },
    };
    for (std::size_t i = 0; i < preparar.size(); ++i) {
        fs::remove(aux);
        preparar[i]();
        const std::string antes = test::ReadBytes(aux);
        engine::Error err;
        EXPECT_NE(app_.AbrirAuxiliar("alumnos.db", &err), 0) << "case " << i;
        EXPECT_FALSE(app_.Auxiliar()) << "case " << i;
        EXPECT_EQ(test::ReadBytes(aux), antes) << "case " << i;
    }
}

}  // namespace
}  // namespace veliora
