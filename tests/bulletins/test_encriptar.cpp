// Scrambling of bulletin questions and answers.
#include <gtest/gtest.h>

#include <string>

#include "core/bulletins/encriptar.h"

namespace veliora {
namespace {

std::string Bytes(std::initializer_list<int> codigos) {
    std::string s;
    for (int c : codigos) s += static_cast<char>(c);
    return s;
}

unsigned Codigo(char c) {
    return static_cast<unsigned char>(c);
}

// A key of one zero byte leaves only the bit reversal.
const std::string kSinClave(1, '\0');

// Each byte's bits reversed, then xored with the key character at its position: a key of
// one zero byte leaves only the reversal; 'a' reversed is 0x86 and the key starts with 'T'
// (0x54), the second 'u'; R('*') is 'T' itself, so a zero byte, kept and not an end.
TEST(Encriptar, KnownScrambledBytes) {
    const struct {
        std::string texto;
        std::string_view clave;
        std::string cifrado;
    } casos[] = {
        {"abc", kSinClave, Bytes({0x86, 0x46, 0xC6})},
        {" ", kSinClave, Bytes({4})},
        {Bytes({1, 0x80, 0xFF, 0}), kSinClave, Bytes({0x80, 1, 0xFF, 0})},
        {"a", kClaveRespuestas, Bytes({0x86 ^ 0x54})},
        {"*", kClaveRespuestas, Bytes({0})},
        {"**", kClaveRespuestas, Bytes({0, 0x54 ^ 'u'})},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(EncriptarBytes(c.texto, c.clave), c.cifrado) << c.texto;
        EXPECT_EQ(DesencriptarBytes(c.cifrado, c.clave), c.texto) << c.texto;
    }
}

// Long enough to rule out a length limit.
TEST(Encriptar, EveryCodeRoundTripsAtEveryKeyPosition) {
    std::string todos;
    for (int vuelta = 0; vuelta < 280; ++vuelta)
        for (int c = 0; c < 256; ++c) todos += static_cast<char>(c);
    std::string cifrado = EncriptarBytes(todos, kClaveRespuestas);
    EXPECT_EQ(cifrado.size(), todos.size());
    EXPECT_EQ(DesencriptarBytes(cifrado, kClaveRespuestas), todos);
    // And through the text forms: each code is one Windows-1252 character.
    std::string texto = Cp1252AUtf8(todos);
    auto textoCifrado = Encriptar(texto, kClaveRespuestas);
    ASSERT_TRUE(textoCifrado);
    EXPECT_EQ(*textoCifrado, cifrado);
    EXPECT_EQ(Desencriptar(*textoCifrado, kClaveRespuestas), texto);
}

TEST(Encriptar, KeyCyclesFromItsFirstCharacter) {
    const std::string clave = "Tuvalco";
    std::string texto(clave.size() * 2 + 3, 'x');
    std::string cifrado = EncriptarBytes(texto, clave);
    // Position m + 1 pairs with key character 1 again: same plain character, same result.
    for (std::size_t i = 0; i < texto.size(); ++i)
        EXPECT_EQ(cifrado[i], cifrado[i % clave.size()]) << i;
    EXPECT_NE(cifrado[0], cifrado[1]);
    EXPECT_EQ(Codigo(cifrado[7]), Codigo(EncriptarBytes("x", "T")[0]));
}

TEST(Encriptar, EmptyTextOrKeyGivesEmptyText) {
    EXPECT_EQ(Encriptar("", kClaveRespuestas).value(), "");
    EXPECT_EQ(Desencriptar("", kClaveRespuestas), "");
    EXPECT_EQ(Encriptar("Select * from Alumnos", "").value(), "");
    EXPECT_EQ(Desencriptar("Select * from Alumnos", ""), "");
    EXPECT_EQ(EncriptarBytes("abc", ""), "");
    EXPECT_EQ(DesencriptarBytes("abc", ""), "");
}

TEST(Encriptar, CharactersOutsideTheCodePageAreRefused) {
    for (const std::string texto : {"Tabla 中", "Nota 😀", "Ω", "Ā"}) {
        std::string caracter;
        EXPECT_FALSE(Encriptar(texto, kClaveRespuestas, &caracter)) << texto;
        EXPECT_FALSE(caracter.empty()) << texto;
    }
    std::string caracter;
    EXPECT_FALSE(Utf8ACp1252("a😀b", &caracter));
    EXPECT_EQ(caracter, "😀");
}

TEST(Encriptar, MalformedUtf8IsRefused) {
    std::string caracter = "x";
    EXPECT_FALSE(Utf8ACp1252(Bytes({'a', 0xC3}), &caracter));
    EXPECT_TRUE(caracter.empty());
    EXPECT_FALSE(Utf8ACp1252(Bytes({0xE2, 0x82}), &caracter));
    EXPECT_FALSE(Utf8ACp1252(Bytes({0xC0, 0x80}), &caracter));        // overlong NUL
    EXPECT_FALSE(Utf8ACp1252(Bytes({0xED, 0xA0, 0x80}), &caracter));  // surrogate
}

TEST(Cp1252, SpecialRangeMapsToItsCharacters) {
    EXPECT_EQ(Cp1252AUtf8(Bytes({0x80})), "€");
    EXPECT_EQ(Cp1252AUtf8(Bytes({0x85})), "…");
    EXPECT_EQ(Cp1252AUtf8(Bytes({0x93, 0x94})), "“”");
    EXPECT_EQ(Cp1252AUtf8(Bytes({0x9F})), "Ÿ");
    EXPECT_EQ(Cp1252AUtf8(Bytes({0xF1, 0xC1})), "ñÁ");
    EXPECT_EQ(Utf8ACp1252("€ŠŽšžŒœ").value(), Bytes({0x80, 0x8A, 0x8E, 0x9A, 0x9E, 0x8C, 0x9C}));
    EXPECT_EQ(Utf8ACp1252("¿Qué?").value(), Bytes({0xBF, 'Q', 'u', 0xE9, '?'}));
}

TEST(Cp1252, EveryCodeRoundTripsIncludingTheUndefinedOnes) {
    for (int c = 0; c < 256; ++c) {
        std::string byte(1, static_cast<char>(c));
        auto vuelta = Utf8ACp1252(Cp1252AUtf8(byte));
        ASSERT_TRUE(vuelta) << c;
        EXPECT_EQ(*vuelta, byte) << c;
    }
    EXPECT_EQ(Cp1252AUtf8(Bytes({0x81})), "\xC2\x81");
}

}  // namespace
}  // namespace veliora
