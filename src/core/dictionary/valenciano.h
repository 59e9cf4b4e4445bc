#pragma once
// Valencian spelling where a question joins words: the stress of a word, the apostrophe of
// the articles and of "de", and the contractions of the prepositions with the article, as
// the Acadèmia Valenciana de la Llengua's normative grammar sets them.

#include <string>
#include <string_view>
#include <vector>

namespace veliora::valenciano {

// Whether the word is stressed on its last syllable (agut). From the written accent, or,
// without one, by the accent rules read backwards: an unaccented word ending in a vowel,
// vowel + s, -en or -in is stressed on the one before last.
bool EsAguda(std::string_view palabra);

// Whether the article "el" takes the apostrophe before the word: it begins with a vowel or
// h + vowel that is not a glide ("l'home", "l'institut", but "el iogurt", "el hui").
bool ApostrofaMasculino(std::string_view palabra);
// The same for "la", which also keeps its vowel before an unstressed i, u, hi, hu
// ("l'illa", "l'ungla", but "la universitat", "la història").
bool ApostrofaFemenino(std::string_view palabra);

// Joins the words with single blanks, writing the apostrophes and contractions:
// el/la + vowel -> l' ("l'alumne", "l'assignatura"); de + el/els -> del/dels, a + el/els ->
// al/als, per + el/els -> pel/pels ("dels alumnes", "pel nom"), but not before an
// apostrophised article ("de l'alumne"); de + vowel -> d' ("d'alumnes"). Letter case is
// ignored when matching; empty words are dropped.
std::string Unir(const std::vector<std::string>& palabras);

}  // namespace veliora::valenciano
