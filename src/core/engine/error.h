#pragma once
// How the core reports a failure: the program's own code, kept apart from what the engine
// (or the system) said and from the statement that failed. An error holds no text in any
// language: whoever shows one makes its text from the code (core/shell/errores.h).

#include <cstdint>
#include <string>

namespace veliora::engine {

enum class Code {
    None,
    // The engine's own failures: `engineCode` and `engineMessage` are the engine's.
    Engine,        // any failure the engine reports in its own words
    Syntax,        // the engine could not parse the statement
    Interrupted,   // the engine stopped a call before it ended
    EngineMemory,  // the engine ran out of memory
    TooBig,        // a value, pattern or statement too big for the engine
    // The guard and the limits.
    Refused,            // not a read-only query
    Empty,              // no statement at all
    SeveralStatements,  // more than one statement
    TimeLimit,          // the time limit or the deadline (amount: the limit in ms)
    MemoryLimit,        // a result past its memory budget (amount: the budget in bytes)
    TooManyRows,        // a result past its row cap
    StoredTooBig,       // a stored value too big to read (detail: table.column; amount: MiB)
    // Databases.
    NotOpen,              // the database is not open
    NoDatabase,           // no database has been opened
    NoAuxiliary,          // no auxiliary database is open
    NotUserDatabase,      // answers are only checked on an open user database
    AuxiliaryCannotOpen,  // the auxiliary database cannot be opened
    CannotOpen,           // the file cannot be opened as a database (detail: the path)
    FileMissing,          // no such file (detail: the path)
    NotRegularFile,       // a folder, a device, a file of the kernel's (detail: the path)
    UserReadOnly,         // a write on the user's database
    CopyOnly,             // a write meant for an in-memory copy
    ReplaceOwnOnly,       // replacing a database the program does not own
    NoCollation,          // the Spanish text collation cannot be made
    NoDictionaryRow,      // a dictionary row vanished (detail: the object)
    // Bulletins and files.
    TextNotStorable,   // a character the scrambled form cannot hold (detail: it; empty
                       // when the text is not UTF-8)
    NumberOutOfRange,  // a question number out of range (amount: the number)
    BadLineNumber,     // a stored line whose number is out of range (detail: the bulletin;
                       // value: the number as read; amount: the highest number)
    NoSuchLine,        // no line of that number (amount: the number)
    BadBulletinName,   // a bulletin name of blanks or control characters
    PdfFromHtml,       // the PDF form is written from the HTML page, not here
    UnsafeFileName,    // a name that cannot be a file name in the application directory
    Cancelled,         // the user cancelled a conversion
    OwnFile,           // a file of the program's own, never replaced by an import
    NotAuxiliaryFile,  // an import that is no whole auxiliary database
    TargetReadOnly,    // an import onto a file without write permission
    // Outputs and copies (detail: the path; engineCode: the system's number).
    WriteRefused,     // a destination that may not be written (amount: the reason's text id)
    WriteFailed,      // the system failed writing it (engineMessage: its description)
    NoTemporary,      // the temporary file beside it cannot be made (engineMessage: why)
    ReadFailed,       // the source of a copy cannot be read (engineMessage: why)
    NoHandle,         // the engine gave neither a database nor an error (detail: the path)
    TemplateMissing,  // the auxiliary databases' template is missing (detail: its path)
    // An Access file's conversion (detail: what the reason cites, may be empty).
    AccessUnreadable,     // not an Access database the reader can read
    AccessTruncated,      // truncated or damaged
    AccessReaderFailed,   // the reader failed on it
    AccessReaderMissing,  // no reader installed
    ConvertedNotWritten,  // the converted database cannot be written
    // A failure of the system or of a reader outside the engine: `engineCode` is its
    // number (errno, or the number the reader's failure is shown with), `engineMessage` its
    // description as the part that met it wrote it.
    Io,
};

struct Error {
    Code code = Code::None;
    int engineCode = 0;         // SQLite's result code, or the system's number for Io
    std::string engineMessage;  // SQLite's message, or the system's for Io
    std::string sql;            // the statement that failed
    std::string detail;         // what the failure names: a path, an object, a character
    std::int64_t amount = 0;    // the figure it cites: a limit, a budget, a number
    std::string value;          // a value it cites as read

    bool failed() const { return code != Code::None; }
    void clear() { *this = {}; }  // LimpiarError
};

// One of the program's own failures, naming `detail` (a path, an object...).
inline Error Failure(Code code, std::string detail = {}, std::string sql = {}) {
    Error e;
    e.code = code;
    e.detail = std::move(detail);
    e.sql = std::move(sql);
    return e;
}

// One citing a figure (a limit, a number).
inline Error FailureWith(Code code, std::int64_t amount, std::string sql = {}) {
    Error e;
    e.code = code;
    e.amount = amount;
    e.sql = std::move(sql);
    return e;
}

// A failure of the system's or of an outside reader's: its number and its description.
inline Error SystemFailure(int number, std::string message) {
    Error e;
    e.code = Code::Io;
    e.engineCode = number;
    e.engineMessage = std::move(message);
    return e;
}

// A failure of a file's (`path`), with the system's number and description.
inline Error FileFailure(Code code, std::string path, int number, std::string message = {}) {
    Error e = Failure(code, std::move(path));
    e.engineCode = number;
    e.engineMessage = std::move(message);
    return e;
}

// The time limit, or the engine stopped meanwhile.
inline bool TimedOut(const Error& e) {
    return e.code == Code::TimeLimit || e.code == Code::Interrupted;
}

// A value, pattern, budget or row cap too big for what a statement may build or hold.
inline bool OverMemory(const Error& e) {
    switch (e.code) {
        case Code::EngineMemory:
        case Code::TooBig:
        case Code::MemoryLimit:
        case Code::TooManyRows:
        case Code::StoredTooBig:
            return true;
        default:
            return false;
    }
}

}  // namespace veliora::engine
