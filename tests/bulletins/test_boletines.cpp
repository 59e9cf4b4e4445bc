// Storing generated questions in bulletins and reading them back.
#include <gtest/gtest.h>

#include <string>

#include "core/bulletins/boletines.h"
#include "core/bulletins/encriptar.h"
#include "core/engine/database.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

using engine::Value;

class BoletinesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        aux_ = test::NewAuxiliary(
            home_ / "tienda.db_",
            "INSERT INTO CabBoletines VALUES ('Tema 2'), ('tema 1'), ('Vacío'), ('O''Brien');");
        ASSERT_TRUE(aux_);
    }

    // Inserts a line with its texts scrambled, as another writer of the bulletin would.
    void Linea(const std::string& boletin, int numero) {
        engine::Error err;
        const std::string texto = "p" + std::to_string(numero);
        ASSERT_TRUE(aux_->Execute("insert into LBoletines values (?, ?, ?, ?)", err,
                                  {Value::Text(boletin), Value::Int(numero),
                                   Value::Blob(*Encriptar(texto, kClaveRespuestas)),
                                   Value::Blob(*Encriptar(texto, kClaveRespuestas))}))
            << veliora::TextoDeError(err);
    }

    std::int64_t Lineas() {
        engine::Error err;
        return aux_->Scalar("select count(*) from LBoletines", err).toInt();
    }

    test::TempHome home_;
    std::shared_ptr<engine::Database> aux_;
};

// Numbered from the highest number plus one, gaps kept, each bulletin on its own; texts
// stored scrambled and read back exactly.
TEST_F(BoletinesTest, StoredLinesTakeTheNextNumberAndComeBackExactly) {
    const std::string pregunta = "¿Cuál es el saldo de los clientes de 'Valencia'?";
    const std::string sql = "Select [Saldo]\r\nfrom [Clientes]\r\nwhere [Ciudad] = 'Valencia'";
    engine::Error err;
    ASSERT_EQ(AlmacenarPregunta(*aux_, "O'Brien", pregunta, sql, err), 1)
        << veliora::TextoDeError(err);
    auto rs = aux_->OpenRecordset("select Pregunta, Respuesta from LBoletines", err);
    ASSERT_TRUE(rs && !rs->Eof());
    EXPECT_EQ(rs->Field(0).text, *Encriptar(pregunta, kClaveRespuestas));
    EXPECT_EQ(rs->Field(1).text, *Encriptar(sql, kClaveRespuestas));

    Linea("Tema 2", 1);
    Linea("Tema 2", 5);
    Linea("tema 1", 9);
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "nueva", "select 6", err), 6);
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "y otra", "select 7", err), 7);
    auto lineas = LeerBoletin(*aux_, "Tema 2", err);
    ASSERT_EQ(lineas.size(), 4u);
    EXPECT_EQ(lineas[1].NumPregunta, 5);
    EXPECT_EQ(lineas[1].Pregunta, "p5");
    EXPECT_EQ(lineas[2].Pregunta, "nueva");
    EXPECT_EQ(lineas[3].Respuesta, "select 7");
    EXPECT_EQ(LeerBoletin(*aux_, "tema 1", err).size(), 1u);
    lineas = LeerBoletin(*aux_, "O'Brien", err);
    ASSERT_EQ(lineas.size(), 1u);
    EXPECT_EQ(lineas[0].Pregunta, pregunta);
    EXPECT_EQ(lineas[0].Respuesta, sql);
}

// A text the scrambling cannot hold, or an insert refused after the maximum was read: nothing
// is written and no transaction stays open.
TEST_F(BoletinesTest, FailedStoreWritesNothing) {
    engine::Error err;
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "emoji \xF0\x9F\x98\x80", "select 1", err), 0);
    EXPECT_EQ(err.code, engine::Code::TextNotStorable);
    EXPECT_EQ(Lineas(), 0);
    ASSERT_TRUE(
        aux_->Execute("create trigger NoMas before insert on LBoletines "
                      "begin select raise(abort, 'lleno'); end",
                      err))
        << veliora::TextoDeError(err);
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "p", "select 1", err), 0);
    EXPECT_NE(veliora::TextoDeError(err).find("lleno"), std::string::npos);
    EXPECT_EQ(Lineas(), 0);
    ASSERT_TRUE(aux_->Execute("drop trigger NoMas", err)) << veliora::TextoDeError(err);
    EXPECT_EQ(AlmacenarPregunta(*aux_, "Tema 2", "p", "select 1", err), 1);
}

TEST_F(BoletinesTest, BulletinNamesComeInNameOrder) {
    engine::Error err;
    EXPECT_EQ(NombresBoletines(*aux_, err),
              (std::vector<std::string>{"O'Brien", "tema 1", "Tema 2", "Vacío"}));
    EXPECT_TRUE(LeerBoletin(*aux_, "Vacío", err).empty());
    EXPECT_FALSE(err.failed());
}

}  // namespace
}  // namespace veliora
