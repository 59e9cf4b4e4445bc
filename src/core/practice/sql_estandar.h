#pragma once
// A statement of the program's dialect as any SQLite or PostgreSQL tool reads it, for
// students who take a solution to other tools.

#include <string>
#include <string_view>

#include "core/dictionary/vista_esquema.h"

namespace veliora {

// Every table and field name of `vista` between double quotes, spelt as in the database
// (bracketed names and bare ones alike); #mm/dd/yyyy# dates as 'yyyy-mm-dd' texts;
// Count(t.*) as count(*); a yes/no field compared with a number compared with true or
// false. Texts, comments and everything else stay as they are.
std::string SqlEstandar(std::string_view sql, const VistaEsquema& vista);

}  // namespace veliora
