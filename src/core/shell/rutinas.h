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

// A uniform random integer from Min to Max, both included; Min when Max is Min - 1.
std::int32_t Aleatorio(std::int32_t Min, std::int32_t Max);
// The program's one random source: seeded from the system, or from VELIORA_SEED.
std::mt19937_64& FuenteAleatoria();
void SembrarAleatorio(std::uint64_t semilla);

}  // namespace veliora
