#include "core/shell/errores.h"

#include <cerrno>
#include <cstdio>
#include <optional>

#include "core/base/textos.h"

namespace veliora {

namespace {

using engine::Code;

// Seconds as the time-limit text cites them ("10", "0.3").
std::string Segundos(std::int64_t milisegundos) {
    char texto[40];
    std::snprintf(texto, sizeof texto, "%g", double(milisegundos) / 1000.0);
    return texto;
}

// The string table's id of a code whose text names at most its detail; 0 for the others.
int IdDeTexto(Code code) {
    switch (code) {
        case Code::Refused:
            return 1900;
        case Code::Empty:
            return 2200;
        case Code::SeveralStatements:
            return 1140;
        case Code::TooManyRows:
            return 1905;
        case Code::NotOpen:
            return 1700;
        case Code::NoDatabase:
            return 1164;
        case Code::NoAuxiliary:
            return 2201;
        case Code::NotUserDatabase:
            return 2202;
        case Code::AuxiliaryCannotOpen:
            return 1701;
        case Code::CannotOpen:
            return 1703;
        case Code::FileMissing:
            return 1907;
        case Code::NotRegularFile:
            return 2140;
        case Code::UserReadOnly:
            return 1908;
        case Code::CopyOnly:
            return 1909;
        case Code::ReplaceOwnOnly:
            return 1910;
        case Code::NoCollation:
            return 1906;
        case Code::NoDictionaryRow:
            return 1702;
        case Code::BadBulletinName:
            return 2160;
        case Code::PdfFromHtml:
            return 2207;
        case Code::UnsafeFileName:
            return 1462;
        case Code::Cancelled:
            return 1604;
        case Code::OwnFile:
            return 1460;
        case Code::NotAuxiliaryFile:
            return 2120;
        case Code::TargetReadOnly:
            return 1461;
        case Code::NoHandle:
            return 1703;
        case Code::TemplateMissing:
            return 1704;
        default:
            return 0;
    }
}

// The string table's id of why a conversion failed; 0 for the other codes.
int IdDeConversion(Code code) {
    switch (code) {
        case Code::AccessUnreadable:
            return 1600;
        case Code::AccessTruncated:
            return 1601;
        case Code::AccessReaderFailed:
            return 1602;
        case Code::AccessReaderMissing:
            return 1603;
        case Code::ConvertedNotWritten:
            return 1605;
        default:
            return 0;
    }
}

// The text of a failure writing or reading a file, or converting one, naming its path or
// what the reason cites; nothing for the other codes.
std::optional<std::string> TextoDeArchivo(const engine::Error& e) {
    switch (e.code) {
        case Code::WriteRefused:
            return Texto(2100, e.detail) + ": " + Texto(int(e.amount));
        case Code::WriteFailed:
            return Texto(2100, e.detail) + ": " + e.engineMessage;
        case Code::NoTemporary:
            return Texto(2100, e.detail) + ": " + Texto(2111) + " (" + e.engineMessage + ")";
        case Code::ReadFailed:
            return Texto(2112, e.detail) + ": " + e.engineMessage;
        default:
            break;
    }
    const int id = IdDeConversion(e.code);
    if (id == 0)
        return std::nullopt;
    return e.detail.empty() ? Texto(id) : Texto(id) + " (" + e.detail + ")";
}

}  // namespace

std::string TextoDeError(const engine::Error& e) {
    switch (e.code) {
        case Code::None:
            return {};
        case Code::Engine:
        case Code::Syntax:
        case Code::Interrupted:
        case Code::Io:
            return e.engineMessage;
        case Code::EngineMemory:
            return Texto(1902, e.engineMessage);
        case Code::TooBig:
            return Texto(1901, e.engineMessage);
        case Code::TimeLimit:
            return Texto(1904, Segundos(e.amount));
        case Code::MemoryLimit:
            return Texto(1903, std::to_string(e.amount >> 20));
        case Code::StoredTooBig:
            return Texto(2007, {e.detail, std::to_string(e.amount)});
        case Code::TextNotStorable:
            return e.detail.empty() ? Texto(2203) : Texto(2204, e.detail);
        case Code::NumberOutOfRange:
            return Texto(2205, std::to_string(e.amount));
        case Code::NoSuchLine:
            return Texto(2206, std::to_string(e.amount));
        case Code::BadLineNumber:
            return Texto(2161, {e.detail, e.value, std::to_string(e.amount)});
        default:
            break;
    }
    if (auto texto = TextoDeArchivo(e))
        return *texto;
    return Texto(IdDeTexto(e.code), e.detail);
}

int NumeroDeError(const engine::Error& e) {
    switch (e.code) {
        case Code::None:
            return 0;
        case Code::Engine:
        case Code::Syntax:
        case Code::Interrupted:
        case Code::EngineMemory:
        case Code::TooBig:
        case Code::Io:
        case Code::WriteRefused:
        case Code::WriteFailed:
        case Code::NoTemporary:
        case Code::ReadFailed:
        case Code::TemplateMissing:
            return e.engineCode;
        case Code::OwnFile:
            return EPERM;
        case Code::NotAuxiliaryFile:
            return EINVAL;
        case Code::TargetReadOnly:
            return EACCES;
        case Code::NoHandle:
            return EIO;
        case Code::Refused:
            return 23;  // SQLITE_AUTH
        case Code::Empty:
        case Code::SeveralStatements:
        case Code::NoCollation:
        case Code::AuxiliaryCannotOpen:
            return 1;  // SQLITE_ERROR
        case Code::TimeLimit:
        case Code::Cancelled:
            return 9;  // SQLITE_INTERRUPT
        case Code::MemoryLimit:
            return 7;  // SQLITE_NOMEM
        case Code::TooManyRows:
        case Code::StoredTooBig:
            return 18;  // SQLITE_TOOBIG
        case Code::NotOpen:
        case Code::NoDatabase:
        case Code::NoAuxiliary:
        case Code::NotUserDatabase:
        case Code::ReplaceOwnOnly:
        case Code::BadBulletinName:
            return 21;  // SQLITE_MISUSE
        case Code::CannotOpen:
        case Code::FileMissing:
        case Code::NotRegularFile:
        case Code::AccessUnreadable:
        case Code::AccessTruncated:
        case Code::AccessReaderFailed:
        case Code::AccessReaderMissing:
        case Code::ConvertedNotWritten:
            return 14;  // SQLITE_CANTOPEN
        case Code::UserReadOnly:
        case Code::CopyOnly:
            return 8;  // SQLITE_READONLY
        case Code::NoDictionaryRow:
        case Code::NoSuchLine:
            return 12;  // SQLITE_NOTFOUND
        case Code::TextNotStorable:
            return 20;  // SQLITE_MISMATCH
        case Code::NumberOutOfRange:
        case Code::BadLineNumber:
            return 25;  // SQLITE_RANGE
        case Code::PdfFromHtml:
        case Code::UnsafeFileName:
            return EINVAL;
    }
    return e.engineCode;
}

}  // namespace veliora
