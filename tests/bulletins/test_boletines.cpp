// Storing generated questions in bulletins and reading them back.
#include <gtest/gtest.h>

#include <string>

#include "core/bulletins/boletines.h"
#include "core/bulletins/encriptar.h"
#include "core/engine/database.h"
#include "core/shell/recursos.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

using engine::Database;
using engine::Value;

class BoletinesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ruta_ = home_ / "tienda.db_";
        test::BuildDatabase(ruta_, std::string(EmbeddedResource("bdaux.sql")) + R"sql(
INSERT INTO CabBoletines VALUES ('Tema 2'), ('tema 1'), ('Vacío'), ('O''Brien');
)sql");
        engine::EngineError err;
        aux_ = Database::Open(ruta_.string(), Database::Kind::Auxiliary, err);
        ASSERT_TRUE(aux_) << err.description;
    }

    // Inserts a line with its texts scrambled, as another writer of the bulletin would.
    void Linea(const std::string& boletin, int numero, const std::string& pregunta,
               const std::string& sql) {
        engine::EngineError err;
        ASSERT_TRUE(aux_->Execute("insert into LBoletines values (?, ?, ?, ?)", err,
                                  {Value::Text(boletin), Value::Int(numero),
                                   Value::Blob(*Encriptar(pregunta, kClaveRespuestas)),
                                   Value::Blob(*Encriptar(sql, kClaveRespuestas))}))
            << err.description;
    }

    std::int64_t Lineas() {
        engine::EngineError err;
        return aux_->Scalar("select count(*) from LBoletines", err).toInt();
    }

    test::TempHome home_;
    std::filesystem::path ruta_;
    std::shared_ptr<Database> aux_;
};

TEST_F(BoletinesTest, FirstQuestionOfAnEmptyBulletinIsNumberOne) {
    engine::EngineError err;
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Vacío", "Nombre de los clientes",
                                "Select [Nombre] from "
                                "[Clientes]",
                                err),
              1)
        << err.description;
    EXPECT_FALSE(err.failed());
    auto lineas = LeerBoletin(*aux_, "Vacío", err);
    ASSERT_EQ(lineas.size(), 1u);
    EXPECT_EQ(lineas[0].NumPregunta, 1);
    EXPECT_EQ(lineas[0].Pregunta, "Nombre de los clientes");
    EXPECT_EQ(lineas[0].Respuesta, "Select [Nombre] from [Clientes]");
}

TEST_F(BoletinesTest, NextQuestionTakesTheHighestNumberPlusOneEvenWithGaps) {
    Linea("Tema 2", 1, "p1", "select 1");
    Linea("Tema 2", 5, "p5", "select 5");
    Linea("tema 1", 9, "otra", "select 9");
    engine::EngineError err;
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "nueva", "select 6", err), 6);
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "y otra", "select 7", err), 7);
    auto lineas = LeerBoletin(*aux_, "Tema 2", err);
    ASSERT_EQ(lineas.size(), 4u);
    EXPECT_EQ(lineas[0].NumPregunta, 1);
    EXPECT_EQ(lineas[1].NumPregunta, 5);
    EXPECT_EQ(lineas[2].Pregunta, "nueva");
    EXPECT_EQ(lineas[3].Respuesta, "select 7");
    // The other bulletin keeps its own numbering.
    EXPECT_EQ(LeerBoletin(*aux_, "tema 1", err).size(), 1u);
}

TEST_F(BoletinesTest, StoredTextsAreScrambledAndComeBackExactly) {
    const std::string pregunta = "¿Cuál es el saldo de los clientes de 'Valencia'?";
    const std::string sql = "Select [Saldo]\r\nfrom [Clientes]\r\nwhere [Ciudad] = 'Valencia'";
    engine::EngineError err;
    ASSERT_EQ(AlmacenarPregunta(*aux_, "O'Brien", pregunta, sql, err), 1) << err.description;

    auto rs = aux_->OpenRecordset("select Pregunta, Respuesta from LBoletines", err);
    ASSERT_TRUE(rs);
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Field(0).text, *Encriptar(pregunta, kClaveRespuestas));
    EXPECT_EQ(rs->Field(1).text, *Encriptar(sql, kClaveRespuestas));
    EXPECT_EQ(rs->Field(1).text.find("Clientes"), std::string::npos);

    auto lineas = LeerBoletin(*aux_, "O'Brien", err);
    ASSERT_EQ(lineas.size(), 1u);
    EXPECT_EQ(lineas[0].Pregunta, pregunta);
    EXPECT_EQ(lineas[0].Respuesta, sql);
}

TEST_F(BoletinesTest, TextThatCannotBeStoredWritesNothing) {
    engine::EngineError err;
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "emoji \xF0\x9F\x98\x80", "select 1", err), 0);
    EXPECT_EQ(err.number, kErrorTextoNoRepresentable);
    EXPECT_FALSE(err.description.empty());
    EXPECT_EQ(Lineas(), 0);
    // The database is not left inside a transaction: the next store works.
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "bien", "select 1", err), 1);
}

TEST_F(BoletinesTest, FailedInsertLeavesNothingBehind) {
    engine::EngineError err;
    // A trigger that refuses the row makes the insert fail after the maximum was read.
    ASSERT_TRUE(
        aux_->Execute("create trigger NoMas before insert on LBoletines "
                      "begin select raise(abort, 'lleno'); end",
                      err))
        << err.description;
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "p", "select 1", err), 0);
    EXPECT_TRUE(err.failed());
    EXPECT_NE(err.description.find("lleno"), std::string::npos);
    EXPECT_EQ(Lineas(), 0);
    ASSERT_TRUE(aux_->Execute("drop trigger NoMas", err)) << err.description;
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "p", "select 1", err), 1);
}

TEST_F(BoletinesTest, BulletinNamesComeInNameOrder) {
    engine::EngineError err;
    auto nombres = NombresBoletines(*aux_, err);
    ASSERT_EQ(nombres.size(), 4u);
    EXPECT_EQ(nombres[0], "O'Brien");
    EXPECT_EQ(nombres[1], "tema 1");
    EXPECT_EQ(nombres[2], "Tema 2");
    EXPECT_EQ(nombres[3], "Vacío");
    EXPECT_TRUE(LeerBoletin(*aux_, "Vacío", err).empty());
    EXPECT_FALSE(err.failed());
}

}  // namespace
}  // namespace veliora
