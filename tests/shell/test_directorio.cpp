// Where the program keeps its files, and how a fresh application directory is seeded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "core/engine/database.h"
#include "core/shell/directorio.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

namespace fs = std::filesystem;

// Sets (or unsets, with nullopt) an environment variable for the life of the object.
class EntornoTemporal {
  public:
    EntornoTemporal(const char* nombre, std::optional<std::string> valor) : nombre_(nombre) {
        if (const char* antes = std::getenv(nombre))
            anterior_ = antes;
        if (valor)
            setenv(nombre, valor->c_str(), 1);
        else
            unsetenv(nombre);
    }
    ~EntornoTemporal() {
        if (anterior_)
            setenv(nombre_, anterior_->c_str(), 1);
        else
            unsetenv(nombre_);
    }

  private:
    const char* nombre_;
    std::optional<std::string> anterior_;
};

void Escribir(const fs::path& ruta, const std::string& contenido) {
    fs::create_directories(ruta.parent_path());
    std::ofstream(ruta, std::ios::binary) << contenido;
}

std::int64_t ContarTablas(const fs::path& ruta) {
    auto bd = test::OpenDatabase(ruta, engine::Database::Kind::User);
    engine::Error err;
    return bd ? bd->Scalar("select count(*) from sqlite_master where type='table'", err).toInt()
              : -1;
}

class Directorio : public ::testing::Test {
  protected:
    void TearDown() override { FijarDirectorioAplicacion(home_.path()); }

    // A resource folder of our own, so that the test controls every file in it.
    fs::path RecursosFalsos(bool conPlantilla) {
        fs::path r = home_ / "recursos";
        if (conPlantilla)
            Escribir(r / "bdaux.db", "plantilla");
        Escribir(r / "AYUDA" / "MANUAL.HTM", "manual");
        Escribir(r / "AYUDA" / "SINTAXISV.HTM", "sintaxi");
        Escribir(r / "samples" / "tienda.db", "bd de usuario");
        Escribir(r / "samples" / "tienda.db_", "auxiliar");
        Escribir(r / "samples" / "tienda.htm", "ayuda de tienda");
        Escribir(r / "samples" / "notas.txt", "otra cosa");
        return r;
    }

    test::TempHome home_;
};

// The override, else $VELIORA_HOME, else the per-user data folder; each created when missing,
// readable by its user only.
TEST_F(Directorio, ChosenByOverrideEnvironmentOrUserDataFolder) {
    EntornoTemporal datos("XDG_DATA_HOME", (home_ / "datos").string());
    EntornoTemporal home("VELIORA_HOME", (home_ / "otra" / "casa").string());
    FijarDirectorioAplicacion(home_ / "fijado");
    EXPECT_EQ(DirectorioAplicacion(), home_ / "fijado");
    FijarDirectorioAplicacion({});
    EXPECT_EQ(DirectorioAplicacion(), home_ / "otra" / "casa");
    unsetenv("VELIORA_HOME");
    EXPECT_EQ(DirectorioAplicacion(), home_ / "datos" / "veliora");
    for (const fs::path& creado :
         {home_ / "fijado", home_ / "otra" / "casa", home_ / "datos" / "veliora"})
        EXPECT_EQ(fs::status(creado).permissions(), fs::perms::owner_all) << creado;
}

// $VELIORA_RESOURCES, else found beside the program.
TEST_F(Directorio, ResourceFolderFromTheEnvironmentOrFound) {
    {
        EntornoTemporal recursos("VELIORA_RESOURCES", (home_ / "recursos").string());
        EXPECT_EQ(DirectorioRecursos(), home_ / "recursos");
    }
    EntornoTemporal recursos("VELIORA_RESOURCES", std::nullopt);
    EXPECT_TRUE(fs::is_regular_file(DirectorioRecursos() / "bdaux.db")) << DirectorioRecursos();
}

TEST_F(Directorio, SeedingCopiesTemplateHelpAndSampleCompanions) {
    const fs::path r = RecursosFalsos(true);
    EntornoTemporal recursos("VELIORA_RESOURCES", r.string());
    // Installed read-only: the user's copy is still theirs to write.
    fs::permissions(r / "bdaux.db", fs::perms::owner_read | fs::perms::group_read);
    SembrarDirectorioAplicacion();
    EXPECT_NE(fs::status(home_ / "bdaux.db").permissions() & fs::perms::owner_write,
              fs::perms::none);
    EXPECT_EQ(test::ReadBytes(home_ / "bdaux.db"), "plantilla");
    EXPECT_EQ(test::ReadBytes(home_ / "AYUDA" / "MANUAL.HTM"), "manual");
    EXPECT_EQ(test::ReadBytes(home_ / "AYUDA" / "SINTAXISV.HTM"), "sintaxi");
    EXPECT_EQ(test::ReadBytes(home_ / "tienda.db_"), "auxiliar");
    EXPECT_EQ(test::ReadBytes(home_ / "tienda.htm"), "ayuda de tienda");
    // The sample databases themselves stay where they are installed; no temporary is left.
    EXPECT_FALSE(fs::exists(home_ / "tienda.db"));
    EXPECT_FALSE(fs::exists(home_ / "notas.txt"));
    for (const auto& entrada : fs::directory_iterator(home_.path()))
        EXPECT_NE(entrada.path().extension(), ".tmp") << entrada.path();
}

TEST_F(Directorio, SeedingNeverOverwrites) {
    EntornoTemporal recursos("VELIORA_RESOURCES", RecursosFalsos(true).string());
    Escribir(home_ / "bdaux.db", "mi plantilla");
    Escribir(home_ / "tienda.db_", "boletines del profesor");
    Escribir(home_ / "AYUDA" / "MANUAL.HTM", "manual propio");
    // A link in the application directory is never written through, even a dangling one.
    fs::create_symlink(home_ / "ninguna", home_ / "AYUDA" / "SINTAXISV.HTM");
    SembrarDirectorioAplicacion();
    SembrarDirectorioAplicacion();
    EXPECT_EQ(test::ReadBytes(home_ / "bdaux.db"), "mi plantilla");
    EXPECT_EQ(test::ReadBytes(home_ / "tienda.db_"), "boletines del profesor");
    EXPECT_EQ(test::ReadBytes(home_ / "AYUDA" / "MANUAL.HTM"), "manual propio");
    EXPECT_EQ(test::ReadBytes(home_ / "tienda.htm"), "ayuda de tienda");
    EXPECT_FALSE(fs::exists(home_ / "ninguna"));
}

TEST_F(Directorio, MissingInstalledTemplateIsBuiltFromTheEmbeddedSchema) {
    EntornoTemporal recursos("VELIORA_RESOURCES", RecursosFalsos(false).string());
    SembrarDirectorioAplicacion();
    ASSERT_TRUE(fs::is_regular_file(home_ / "bdaux.db"));
    EXPECT_EQ(ContarTablas(home_ / "bdaux.db"), 5);
    // A template made earlier is kept.
    Escribir(home_ / "bdaux.db", "mi plantilla");
    SembrarDirectorioAplicacion();
    EXPECT_EQ(test::ReadBytes(home_ / "bdaux.db"), "mi plantilla");
}

TEST_F(Directorio, SeedingFromTheBuiltResources) {
    SembrarDirectorioAplicacion();
    EXPECT_EQ(test::ReadBytes(home_ / "bdaux.db"),
              test::ReadBytes(DirectorioRecursos() / "bdaux.db"));
    EXPECT_GT(ContarTablas(home_ / "bdaux.db"), 0);
    EXPECT_TRUE(fs::is_regular_file(home_ / "tienda.db_"));
    EXPECT_TRUE(fs::is_regular_file(home_ / "escuela.db_"));
}

}  // namespace
}  // namespace veliora
