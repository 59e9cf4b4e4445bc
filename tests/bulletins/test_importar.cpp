// Importing a teacher's files: what is copied, what is refused, and the open database.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/bulletins/importar.h"
#include "core/bulletins/mantenimiento.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

namespace fs = std::filesystem;
using engine::Database;

void Escribir(const fs::path& ruta, const std::string& bytes) {
    std::ofstream(ruta, std::ios::binary) << bytes;
}

// An auxiliary database holding one bulletin with one line.
void Auxiliar(const fs::path& ruta, const std::string& boletin) {
    auto bd = test::NewAuxiliary(ruta);
    engine::Error err;
    ASSERT_TRUE(bd && CrearBoletin(*bd, boletin, err) &&
                InsertarLinea(*bd, boletin, 1, "p", "select 1", err))
        << veliora::TextoDeError(err);
}

class Importar : public ::testing::Test {
  protected:
    void SetUp() override {
        origen_ = home_ / "disco";
        destino_ = home_ / "app";
        fs::create_directories(origen_);
        fs::create_directories(destino_);
    }
    ResultadoImportacion Ejecutar(Sustituir respuesta = Sustituir::Si,
                                  Database* abierta = nullptr) {
        fallos_.clear();
        preguntas_.clear();
        AvisosImportacion avisos;
        avisos.preguntar = [&](const std::string& f) {
            preguntas_.push_back(f);
            return respuesta;
        };
        avisos.fallo = [&](const std::string& f, const engine::Error&) { fallos_.push_back(f); };
        return ImportarBoletines(origen_, destino_, avisos, abierta);
    }
    test::TempHome home_;
    fs::path origen_, destino_;
    std::vector<std::string> fallos_, preguntas_;
};

TEST_F(Importar, CopiesVisibleRegularFilesOnlyAndReportsEachFailure) {
    Escribir(origen_ / "b.txt", "nuevo b");
    Escribir(origen_ / "a.txt", "nuevo a");
    Escribir(origen_ / "c.txt", "nuevo c");
    Escribir(origen_ / ".oculto", "x");
    fs::create_directory(origen_ / "sub");
    Escribir(origen_ / "sub" / "dentro.txt", "x");
    Escribir(origen_ / "bdaux.db", "no es la plantilla");
    Escribir(destino_ / "b.txt", "antiguo b");
    fs::permissions(destino_ / "b.txt", fs::perms::owner_read | fs::perms::group_read);

    const ResultadoImportacion r = Ejecutar();
    EXPECT_TRUE(r.listado);
    EXPECT_EQ(r.copiados, 2);
    EXPECT_EQ(r.fallidos, 2);
    EXPECT_EQ(fallos_, (std::vector<std::string>{"b.txt", "bdaux.db"}));  // name order
    EXPECT_EQ(test::ReadBytes(destino_ / "a.txt"), "nuevo a");
    EXPECT_EQ(test::ReadBytes(destino_ / "c.txt"), "nuevo c");
    EXPECT_EQ(test::ReadBytes(destino_ / "b.txt"), "antiguo b");
    EXPECT_FALSE(fs::exists(destino_ / ".oculto"));
    EXPECT_FALSE(fs::exists(destino_ / "sub"));
    EXPECT_FALSE(fs::exists(destino_ / "bdaux.db"));
    // Nothing but the copied files and the read-only one: no temporary leftovers.
    int archivos = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(destino_)) ++archivos;
    EXPECT_EQ(archivos, 3);

    // An empty folder gives nothing; a missing one fails the listing.
    fs::remove_all(origen_);
    EXPECT_FALSE(Ejecutar().listado);
    fs::create_directory(origen_);
    const ResultadoImportacion vacio = Ejecutar();
    EXPECT_TRUE(vacio.listado);
    EXPECT_EQ(vacio.copiados + vacio.fallidos, 0);
}

TEST_F(Importar, AsksBeforeReplacingAnAuxiliaryWithOtherBulletins) {
    Auxiliar(origen_ / "x.db_", "Profesor");
    Auxiliar(origen_ / "y.db_", "Igual");
    Auxiliar(destino_ / "x.db_", "Mio");
    Auxiliar(destino_ / "y.db_", "Igual");
    const std::string mio = test::ReadBytes(destino_ / "x.db_");

    ResultadoImportacion r = Ejecutar(Sustituir::No);
    EXPECT_EQ(preguntas_, std::vector<std::string>{"x.db_"});  // same bulletins: no question
    EXPECT_EQ(r.omitidos, 1);
    EXPECT_EQ(r.copiados, 1);
    EXPECT_EQ(test::ReadBytes(destino_ / "x.db_"), mio);

    r = Ejecutar(Sustituir::SiATodos);
    EXPECT_EQ(r.copiados, 2);
    EXPECT_EQ(test::ReadBytes(destino_ / "x.db_"), test::ReadBytes(origen_ / "x.db_"));
}

TEST_F(Importar, OpenAuxiliaryIsReplacedThroughItsConnection) {
    Auxiliar(destino_ / "alumnos.db_", "Viejo");
    Auxiliar(origen_ / "alumnos.db_", "Nuevo");
    auto abierta = test::OpenDatabase(destino_ / "alumnos.db_", Database::Kind::Auxiliary);
    ASSERT_TRUE(abierta);
    engine::Error err;

    ResultadoImportacion r = Ejecutar(Sustituir::Si, abierta.get());
    EXPECT_EQ(r.copiados, 1) << (fallos_.empty() ? "" : fallos_[0]);
    // The connection still works and reads the imported bulletins.
    auto resumen = ResumenBoletines(*abierta, err);
    ASSERT_EQ(resumen.size(), 1u) << veliora::TextoDeError(err);
    EXPECT_EQ(resumen[0].Nombre, "Nuevo");
    EXPECT_TRUE(InsertarLinea(*abierta, "Nuevo", 2, "q", "select 2", err))
        << veliora::TextoDeError(err);
    abierta->Close();
    auto reabierta = test::OpenDatabase(destino_ / "alumnos.db_", Database::Kind::Auxiliary);
    ASSERT_TRUE(reabierta);
    EXPECT_EQ(LeerBoletin(*reabierta, "Nuevo", err).size(), 2u);
    reabierta->Close();

    // A file that is not a database leaves the open one as it was.
    abierta = Database::Open((destino_ / "alumnos.db_").string(), Database::Kind::Auxiliary, err);
    Escribir(origen_ / "alumnos.db_", std::string(4096, 'x'));
    r = Ejecutar(Sustituir::Si, abierta.get());
    EXPECT_EQ(r.fallidos, 1);
    EXPECT_EQ(ResumenBoletines(*abierta, err).size(), 1u);
}

}  // namespace
}  // namespace veliora
