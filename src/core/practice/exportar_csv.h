#pragma once
// A whole result written to a CSV file as it is read: one row in memory at a time, however
// many the result has.

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <string_view>

#include "core/engine/database.h"

namespace veliora {

// Runs `sql` on `bd` and writes its column names and rows to `destino` (RFC 4180: commas,
// double quotes where needed, CRLF; UTF-8; points as decimal separators, ISO dates, nothing
// for NULL), through a temporary file in the destination's folder renamed at the end.
// `filas` counts the rows written so far (read by another thread for progress). On any
// failure, an interrupt included, no file is left and `destino` is untouched.
bool ExportarCsv(engine::Database& bd, std::string_view sql, const std::filesystem::path& destino,
                 std::atomic<std::size_t>& filas, engine::Error& error);

// One field as CSV writes it.
std::string CampoCsv(std::string_view texto);

}  // namespace veliora
