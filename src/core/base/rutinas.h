#pragma once
// Small routines every window uses: quoting, the random source.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace veliora {

// "'" + text + "'" (inner quotes are not doubled: for display and for messages; SQL
// statements bind their texts as parameters instead).
std::string Entrecomillar(std::string_view texto);

// Length of the well-formed UTF-8 sequence at texto[i] (overlong forms, surrogates and code
// points past U+10FFFF are not); 0 when there is none.
std::size_t SecuenciaUtf8(std::string_view texto, std::size_t i);
// The text as a terminal or a message can show it whole: control characters (but line
// breaks and tabs) and bytes that are not UTF-8 written as \xNN, C1 controls as \u00NN.
std::string TextoVisible(std::string_view texto);

// A uniform random integer from Min to Max, both included; Min when Max is Min - 1.
std::int32_t Aleatorio(std::int32_t Min, std::int32_t Max);
// The program's one random source: seeded from the system, or from VELIORA_SEED.
std::mt19937_64& FuenteAleatoria();
void SembrarAleatorio(std::uint64_t semilla);

}  // namespace veliora
