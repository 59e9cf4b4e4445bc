// Where a file may be written, and how: nothing the program reads or holds is ever replaced,
// a refused or failed write leaves every file as it was and no temporary file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/session/apertura.h"
#include "core/shell/directorio.h"
#include "core/shell/errores.h"
#include "core/shell/salidas.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Contenido(const fs::path& dir) {
    std::set<std::string> nombres;
    for (const auto& e : fs::directory_iterator(dir)) nombres.insert(e.path().filename().string());
    return nombres;
}

class Salidas : public ::testing::Test {
  protected:
    void SetUp() override {
        SembrarDirectorioAplicacion();
        datos_ = home_ / "datos";
        fs::create_directories(datos_);
        usuario_ = datos_ / "clase.db";
        test::BuildDatabase(usuario_, "CREATE TABLE T (x); INSERT INTO T VALUES (1);");
        ASSERT_EQ(app_.AbrirUsuario(usuario_.string()), 0);
        ASSERT_EQ(app_.AbrirAuxiliar("clase.db"), 0);
    }
    test::TempHome home_;
    Aplicacion app_;
    fs::path datos_, usuario_;
};

TEST_F(Salidas, WhatHoldsDataIsNeverReplaced) {
    const fs::path otra = datos_ / "otra.sqlite";
    test::BuildDatabase(otra, "CREATE TABLE U (y);");
    const fs::path mdb = datos_ / "origen.mdb";
    std::ofstream(mdb) << "un archivo de Access dañado, sin firma";
    std::string access(2048, '\0');
    access.replace(4, 15, "Standard Jet DB");
    std::ofstream(datos_ / "jet.mdb", std::ios::binary) << access;
    fs::create_symlink(usuario_, datos_ / "enlace.txt");
    fs::create_symlink(datos_ / "no-existe", datos_ / "colgante.txt");
    fs::create_hard_link(usuario_, datos_ / "duro.txt");
    fs::create_directory(datos_ / "carpeta.txt");
    ASSERT_EQ(mkfifo((datos_ / "tuberia.txt").c_str(), 0600), 0);
    const fs::path abierto = datos_ / "abierto.txt";
    std::ofstream(abierto) << "en uso";
    const int fd = open(abierto.c_str(), O_RDONLY);
    std::ofstream(home_ / "veliora.ini") << "[HKEY_LOCAL_MACHINE]\n";
    const ArchivoProtegido protegido(mdb);

    struct Caso {
        fs::path destino;
        int motivo;
    };
    const Caso casos[] = {
        {usuario_, 2103},
        {datos_ / ".." / "datos" / "." / "clase.db", 2103},
        {datos_ / "duro.txt", 2103},
        {datos_ / "enlace.txt", 2101},
        {datos_ / "colgante.txt", 2101},
        {home_ / "clase.db_", 2104},
        {home_ / "bdaux.db", 2105},
        {mdb, 2107},
        {abierto, 2108},
        {otra, 2109},
        {datos_ / "jet.mdb", 2110},
        {datos_ / "carpeta.txt", 2102},
        {datos_ / "tuberia.txt", 2102},
        {home_ / "veliora.ini", 2106},
    };
    const auto antes = Contenido(datos_);
    const std::string bytes = test::ReadBytes(usuario_);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.destino.string());
        engine::Error err;
        EXPECT_FALSE(EscribirSalida(c.destino, "texto", err));
        EXPECT_EQ(veliora::TextoDeError(err),
                  Texto(2100, c.destino.string()) + ": " + Texto(c.motivo));
    }
    close(fd);

    EXPECT_EQ(Contenido(datos_), antes);
    EXPECT_EQ(test::ReadBytes(usuario_), bytes);
    EXPECT_EQ(test::ReadBytes(mdb), "un archivo de Access dañado, sin firma");
    EXPECT_FALSE(fs::exists(datos_ / "no-existe"));
}

TEST_F(Salidas, OrdinaryFilesAreReplacedWholeKeepingTheirPermissions) {
    const fs::path texto = datos_ / "Tema1.TXT";
    engine::Error err;
    ASSERT_TRUE(EscribirSalida(texto, "antes", err)) << veliora::TextoDeError(err);
    fs::permissions(texto, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(EscribirSalida(texto, "después", err)) << veliora::TextoDeError(err);
    EXPECT_EQ(test::ReadBytes(texto), "después");
    EXPECT_EQ(fs::status(texto).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // A folder that is not there: nothing made, the error said.
    EXPECT_FALSE(EscribirSalida(datos_ / "no" / "x.TXT", "datos", err));
    EXPECT_TRUE(err.failed());
    EXPECT_FALSE(fs::exists(datos_ / "no"));
    // Not confirmed: the temporary file goes, the destination stays.
    {
        EscrituraSegura escritura;
        ASSERT_TRUE(escritura.Abrir(texto, err));
        ASSERT_TRUE(escritura.Escribir("a medias", err));
    }
    EXPECT_EQ(test::ReadBytes(texto), "después");
    EXPECT_EQ(Contenido(datos_), (std::set<std::string>{"Tema1.TXT", "clase.db"}));
}

}  // namespace
}  // namespace veliora
