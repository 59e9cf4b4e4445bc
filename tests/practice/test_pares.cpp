// The counterexample search over the labelled answer pairs of bench/contraejemplos/pares.tsv,
// one or more of each kind it aims at: every pair gives the same result on its database;
// equivalent ones are never flagged, almost all the others are; no file is written.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "core/engine/database.h"
#include "core/practice/juez.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

using engine::Database;

TEST(ParesDeRespuestas, EquivalentNeverFlaggedAlmostAllOthersFlagged) {
    test::TempHome home;
    const std::filesystem::path dir =
        std::filesystem::path(VELIORA_SOURCE_DIR) / "bench/contraejemplos";
    std::map<std::string, std::filesystem::path> rutas{{"tienda", test::SamplePath("tienda.db")},
                                                       {"escuela", test::SamplePath("escuela.db")},
                                                       {"agenda", home / "agenda.db"}};
    test::BuildDatabase(rutas["agenda"], test::ReadBytes(dir / "agenda.sql"));
    std::map<std::string, std::string> antes;
    std::map<std::string, std::shared_ptr<Database>> bases;
    for (const auto& [nombre, ruta] : rutas) {
        antes[nombre] = test::ReadBytes(ruta);
        bases[nombre] = test::OpenDatabase(ruta, Database::Kind::User);
        ASSERT_TRUE(bases[nombre]);
    }
    std::ifstream f(dir / "pares.tsv");
    int distintos = 0, marcados = 0, equivalentes = 0;
    std::string linea;
    for (int n = 1; std::getline(f, linea); ++n) {
        if (linea.empty() || linea[0] == '#')
            continue;
        std::vector<std::string> c;
        std::stringstream ss(linea);
        for (std::string x; std::getline(ss, x, '\t');) c.push_back(x);
        ASSERT_EQ(c.size(), 5u) << "line " << n;
        // A budget no search reaches here: the figures do not depend on the machine.
        const Juicio j =
            Juzgar(*bases.at(c[0]), c[3], c[4], {true, std::chrono::milliseconds(20000), false});
        const bool marcado = j.resultado.veredicto == Veredicto::CorrectoSoloAqui;
        EXPECT_TRUE(marcado || j.resultado.veredicto == Veredicto::Correcto)
            << "line " << n << ", not the same result: " << j.resultado.mensaje;
        if (c[1] == "equivalente") {
            ++equivalentes;
            EXPECT_FALSE(marcado) << "line " << n << ": " << c[4] << "\n" << j.resultado.mensaje;
        } else {
            ++distintos;
            marcados += marcado;
            if (!marcado)
                std::printf("line %d (%s) not flagged: %s\n", n, c[2].c_str(), c[4].c_str());
        }
    }
    for (auto& [nombre, bd] : bases) {
        bd->Close();
        EXPECT_EQ(test::ReadBytes(rutas[nombre]), antes[nombre]) << nombre;
    }
    std::printf("%d equivalent pairs, %d not, %d of them flagged\n", equivalentes, distintos,
                marcados);
    EXPECT_GE(equivalentes + distintos, 80);
    EXPECT_GE(marcados * 100, distintos * 95);
}

}  // namespace
}  // namespace veliora
