#pragma once
// Files built into the program (string table, template schema of the auxiliary database).

#include <string_view>

namespace veliora {

// Contents of an embedded file by name ("textos.tsv", "bdaux.sql", "bdaux_va.sql"); empty
// when unknown.
std::string_view EmbeddedResource(std::string_view name);

}  // namespace veliora
