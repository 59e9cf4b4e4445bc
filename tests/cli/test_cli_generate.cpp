// veliora-cli generate: the JSON contract, repeatability under a seed, and the exit status
// when a press ends without a question.
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <sstream>

#include "core/practice/juez.h"
#include "core/shell/registro.h"
#include "generator/entorno.h"

namespace veliora::test {
namespace {

std::vector<std::string> Lineas(const std::string& texto) {
    std::vector<std::string> lineas;
    std::istringstream in(texto);
    for (std::string l; std::getline(in, l);)
        if (!l.empty())
            lineas.push_back(l);
    return lineas;
}

class CliGenerate : public ::testing::Test {
  protected:
    void Preparar(const std::string& usuario, const std::string& auxiliar) {
        db = home / "formas.db";
        BuildDatabase(db, usuario);
        BuildDatabase(home / "formas.db_", std::string(EmbeddedResource("bdaux.sql")) + auxiliar);
    }
    int Generar(const std::string& opciones, std::string& salida) {
        return RunCli(home, "generate --db " + ShellArg(db.string()) + " " + opciones, salida);
    }
    TempHome home;
    std::filesystem::path db;
};

TEST_F(CliGenerate, JsonLinesFollowTheContract) {
    Preparar(ReadFixture("gen_formas"), ReadFixture("gen_formas_aux"));
    std::string salida;
    ASSERT_EQ(Generar("--count 60 --seed 9 --json", salida), 0) << salida;
    auto lineas = Lineas(salida);
    ASSERT_EQ(lineas.size(), 60u);
    // Every field of the contract, in this order.
    std::istringstream nombres(
        "kind driver complex attempts sql question sql_raw question_raw plan lang IndTabla "
        "IndTabla2 "
        "IndTabla3 IndRelacion IndRelacion2 IndCampo Distinto Agregado IndCampoCond Operador "
        "Valor1 Valor2 IndCampoGrupo IndCampoAgregado MostrarAgregado AgregadoHaving "
        "OperadorHaving ValorHaving TipoSubquery Conector IndCampoSub OperadorSub SqlSubquery "
        "TextoSubquery");
    std::vector<std::string> claves;
    for (std::string n; nombres >> n;) claves.push_back("\"" + n + "\":");
    std::set<int> tipos;
    for (const auto& linea : lineas) {
        std::size_t donde = 0;
        for (const auto& clave : claves) {
            std::size_t p = linea.find(clave, donde);
            ASSERT_NE(p, std::string::npos) << clave << " in " << linea;
            donde = p;
        }
        QJsonParseError error;
        auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(linea), &error);
        ASSERT_TRUE(doc.isObject()) << error.errorString().toStdString();
        QJsonObject o = doc.object();
        const int kind = o["kind"].toInt(), driver = o["driver"].toInt();
        tipos.insert(kind);
        EXPECT_GE(kind, 1);
        EXPECT_LE(kind, 5);
        EXPECT_EQ(o["complex"].toBool(), kind == 5);
        if (kind < 5) {
            EXPECT_EQ(driver, kind);
        }
        const std::string sqlRaw = o["sql_raw"].toString().toStdString();
        const std::string sql = o["sql"].toString().toStdString();
        const std::string bajo = engine::LowerWithCapital(sqlRaw);
        EXPECT_TRUE(sql == bajo || sql == generador::QuitarCorchetes(bajo)) << sql;
        EXPECT_EQ(o["question"].toString().toStdString(),
                  engine::LowerWithCapital(o["question_raw"].toString().toStdString()));
        QJsonObject plan = o["plan"].toObject();
        if (plan["AgregadoHaving"].toInt() == 1) {
            EXPECT_EQ(plan["OperadorHaving"].toInt(), 0) << "unused values read 0";
            EXPECT_EQ(plan["ValorHaving"].toString(), "");
        }
        const int tipoSub = plan["TipoSubquery"].toInt();
        EXPECT_EQ(tipoSub > 0, kind == 5);
        // The nested plan is present exactly when a subquery was built.
        EXPECT_EQ(plan.contains("Sub"), tipoSub > 0);
        if (plan.contains("Sub")) {
            QJsonObject sub = plan["Sub"].toObject();
            for (const char* k : {"Forma", "IndRelacion", "IndTabla", "IndTabla2", "IndCampo",
                                  "Agregado", "IndCampoCond", "Operador", "Valor1", "Valor2"})
                EXPECT_TRUE(sub.contains(k)) << k;
            EXPECT_EQ(sub["Forma"].toInt() == 0, tipoSub == 3);
            EXPECT_NE(sqlRaw.find("(" + plan["SqlSubquery"].toString().toStdString() + ")"),
                      std::string::npos);
        }
    }
    EXPECT_EQ(tipos, (std::set<int>{1, 2, 3, 4, 5}));
}

TEST_F(CliGenerate, SameSeedSameOutput) {
    Preparar(ReadFixture("gen_formas"), ReadFixture("gen_formas_aux"));
    // The quality gate's budget is time: a generous one, so that machine load cannot change
    // what is drawn.
    ASSERT_TRUE(GuardarValor(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion,
                             kValorPresupuestoCalidad, "1000"));
    std::string a, b, c;
    ASSERT_EQ(Generar("--count 20 --seed 5 --json --kinds 1,4,5", a), 0);
    ASSERT_EQ(Generar("--count 20 --seed 5 --json --kinds 1,4,5", b), 0);
    ASSERT_EQ(Generar("--count 20 --seed 6 --json --kinds 1,4,5", c), 0);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    for (const char* otro : {R"("kind":2)", R"("kind":3)", R"("lang":"va")"})
        EXPECT_EQ(a.find(otro), std::string::npos) << otro;
    // The language reaches the generator (what changes in Valencian is the generator's tests').
    ASSERT_EQ(Generar("--count 1 --seed 5 --json --lang va", c), 0);
    EXPECT_NE(c.find(R"("lang":"va")"), std::string::npos) << c;
    EXPECT_EQ(Generar("--lang ca", c), 2);
}

TEST_F(CliGenerate, TextOutputShowsQuestionAndSolution) {
    Preparar(ReadFixture("gen_formas"), ReadFixture("gen_formas_aux"));
    std::string salida;
    ASSERT_EQ(Generar("--count 3 --seed 1 --kinds 2", salida), 0);
    EXPECT_EQ(Lineas(salida).size(), 6u) << salida;
    EXPECT_NE(salida.find("Solution: Select "), std::string::npos) << salida;
}

TEST_F(CliGenerate, PressWithoutQuestionFails) {
    Preparar(R"(
CREATE TABLE A (Id INTEGER PRIMARY KEY, Nombre TEXT);
CREATE TABLE B (Id INTEGER PRIMARY KEY, IdA INTEGER REFERENCES A (Id));
INSERT INTO A VALUES (1, 'uno');
INSERT INTO B VALUES (1, 1);
)",
             "");
    std::string salida;
    EXPECT_NE(Generar("--kinds 3 --seed 1 --json", salida), 0);
    EXPECT_TRUE(Lineas(salida).empty()) << salida;
    EXPECT_EQ(Generar("--kinds 1,2 --count 4 --seed 1 --json", salida), 0);
    EXPECT_EQ(Lineas(salida).size(), 4u);
    EXPECT_EQ(Generar("--kinds 0,9", salida), 2);
    EXPECT_EQ(Generar("--count x", salida), 2);
}

}  // namespace
}  // namespace veliora::test
