// Valencian word joining. References: Acadèmia Valenciana de la Llengua, Gramàtica
// normativa valenciana (2006), chapters on the article, the apostrophe and the contractions;
// the exceptions of "la" before unstressed i/u and of the glides ("el iogurt", "la hiena")
// are listed, for instance, in the Universitat de Barcelona's style guide
// (https://www.ub.edu/llibre-estil/criteri.php?id=1274).
#include "core/dictionary/valenciano.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <optional>

namespace veliora::valenciano {

namespace {

using Letras = std::u32string;

Letras Minusculas(std::string_view utf8) {
    icu::UnicodeString u =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), int32_t(utf8.size())));
    Letras out;
    for (int32_t i = 0; i < u.length(); i = u.moveIndex32(i, 1))
        out.push_back(char32_t(u_tolower(u.char32At(i))));
    return out;
}

bool EsVocal(char32_t c) {
    return Letras(U"aeiouàèéíòóúïü").find(c) != Letras::npos;
}
bool Acentuada(char32_t c) {
    return Letras(U"àèéíòóú").find(c) != Letras::npos;
}
bool Debil(char32_t c) {
    return c == U'i' || c == U'u';
}

// Where the word's first vowel stands: after a mute h, if any.
std::size_t InicioVocalico(const Letras& w) {
    return !w.empty() && w[0] == U'h' ? 1 : 0;
}

// Positions of the vowels that are syllable nuclei: a u after q/g before a vowel is silent
// or a glide ("que", "aigua"); an i/u is a glide after a nucleus ("ciutat", "rei"), a
// consonant between vowels ("noia") and at the start before a vowel ("iogurt", "hui").
std::vector<std::size_t> Nucleos(const Letras& w) {
    std::vector<std::size_t> nucleos;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const char32_t c = w[i];
        if (!EsVocal(c))
            continue;
        const bool siguienteVocal = i + 1 < w.size() && EsVocal(w[i + 1]);
        if ((c == U'u' || c == U'ü') && i > 0 && (w[i - 1] == U'q' || w[i - 1] == U'g') &&
            siguienteVocal)
            continue;
        if (Debil(c)) {
            const bool trasNucleo = !nucleos.empty() && nucleos.back() + 1 == i;
            if (i == InicioVocalico(w) && siguienteVocal)
                continue;
            if (trasNucleo)
                continue;
        }
        nucleos.push_back(i);
    }
    return nucleos;
}

// Index (into Nucleos) of the stressed nucleus; none for a word without vowels.
std::optional<std::size_t> Tonica(const Letras& w) {
    const std::vector<std::size_t> nucleos = Nucleos(w);
    if (nucleos.empty())
        return std::nullopt;
    for (std::size_t k = 0; k < nucleos.size(); ++k)
        if (Acentuada(w[nucleos[k]]))
            return k;
    // Unaccented: words ending in a vowel, vowel + s, -en or -in are stressed on the
    // syllable before last; the others on the last one.
    const std::size_t n = w.size();
    auto nucleoEn = [&](std::size_t i) {
        for (std::size_t p : nucleos)
            if (p == i)
                return true;
        return false;
    };
    const bool llana =
        nucleoEn(n - 1) ||
        (n >= 2 &&
         (w[n - 1] == U's' || (w[n - 1] == U'n' && (w[n - 2] == U'e' || w[n - 2] == U'i'))) &&
         nucleoEn(n - 2));
    return llana && nucleos.size() >= 2 ? nucleos.size() - 2 : nucleos.size() - 1;
}

std::string Utf8(const Letras& w) {
    icu::UnicodeString u;
    for (char32_t c : w) u.append(UChar32(c));
    std::string out;
    u.toUTF8String(out);
    return out;
}

}  // namespace

bool EsAguda(std::string_view palabra) {
    const Letras w = Minusculas(palabra);
    const auto t = Tonica(w);
    return !t || *t + 1 == Nucleos(w).size();
}

bool ApostrofaMasculino(std::string_view palabra) {
    const Letras w = Minusculas(palabra);
    const std::size_t i = InicioVocalico(w);
    if (i >= w.size() || !EsVocal(w[i]))
        return false;
    // An i or u before another vowel is a glide: "el iogurt", "el hui".
    return !(Debil(w[i]) && i + 1 < w.size() && EsVocal(w[i + 1]));
}

bool ApostrofaFemenino(std::string_view palabra) {
    if (!ApostrofaMasculino(palabra))
        return false;
    const Letras w = Minusculas(palabra);
    const std::size_t i = InicioVocalico(w);
    if (!Debil(w[i]))
        return true;
    const std::vector<std::size_t> nucleos = Nucleos(w);
    const auto t = Tonica(w);
    return t && nucleos[*t] == i;
}

namespace {

std::string Minuscula(std::string_view s) {
    return Utf8(Minusculas(s));
}

// "l'" or "L'", "d'" or "D'": the apostrophised word keeps the case of its first letter.
std::string Apostrofe(const std::string& original, char letra) {
    const bool mayuscula = !original.empty() && original[0] >= 'A' && original[0] <= 'Z';
    return std::string(1, mayuscula ? char(letra - 'a' + 'A') : letra) + "'";
}

}  // namespace

std::string Unir(const std::vector<std::string>& entrada) {
    std::vector<std::string> p;
    for (const std::string& w : entrada)
        if (!w.empty())
            p.push_back(w);

    // The articles first: "de el alumne" is "de l'alumne", never "del alumne".
    std::vector<std::string> q;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const std::string a = Minuscula(p[i]);
        if (i + 1 < p.size() && ((a == "el" && ApostrofaMasculino(p[i + 1])) ||
                                 (a == "la" && ApostrofaFemenino(p[i + 1])))) {
            p[i + 1] = Apostrofe(p[i], 'l') + p[i + 1];
            continue;
        }
        q.push_back(p[i]);
    }

    std::vector<std::string> r;
    for (std::size_t i = 0; i < q.size(); ++i) {
        const std::string a = Minuscula(q[i]);
        const std::string b = i + 1 < q.size() ? Minuscula(q[i + 1]) : std::string();
        const bool preposicion = a == "de" || a == "a" || a == "per";
        if (preposicion && (b == "el" || b == "els")) {
            // de + el = del, a + els = als, per + el = pel...
            std::string contraccion = q[i].substr(0, a == "a" ? 1 : 2) + "l";
            if (b == "els")
                contraccion += 's';
            r.push_back(contraccion);
            ++i;
            continue;
        }
        if (a == "de" && i + 1 < q.size() && ApostrofaMasculino(q[i + 1])) {
            q[i + 1] = Apostrofe(q[i], 'd') + q[i + 1];
            continue;
        }
        r.push_back(q[i]);
    }

    std::string frase;
    for (const std::string& w : r) {
        if (!frase.empty())
            frase += ' ';
        frase += w;
    }
    return frase;
}

}  // namespace veliora::valenciano
