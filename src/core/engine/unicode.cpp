// Unicode-aware case mapping for questions, solutions and the SQL functions lower/upper.
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "core/engine/database.h"

namespace veliora::engine {

std::string LowerText(std::string_view utf8) {
    std::string out;
    icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), int32_t(utf8.size())))
        .toLower(icu::Locale::getRoot())
        .toUTF8String(out);
    return out;
}

std::string UpperText(std::string_view utf8) {
    std::string out;
    icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), int32_t(utf8.size())))
        .toUpper(icu::Locale::getRoot())
        .toUTF8String(out);
    return out;
}

std::string LowerWithCapital(std::string_view utf8) {
    icu::UnicodeString s =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), int32_t(utf8.size())));
    s.toLower(icu::Locale::getRoot());
    if (!s.isEmpty()) {
        UChar32 first = s.char32At(0);
        icu::UnicodeString capital(u_toupper(first));
        s.replace(0, U16_LENGTH(first), capital);
    }
    std::string out;
    s.toUTF8String(out);
    return out;
}

}  // namespace veliora::engine
