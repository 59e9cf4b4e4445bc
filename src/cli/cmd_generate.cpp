// Placeholder until the generator lands.
#include <cstdio>

#include "cli/comun.h"

namespace veliora::cli {
int ComandoGenerate(const std::vector<std::string>&) {
    std::fputs("veliora-cli: generate is not available yet\n", stderr);
    return kExitError;
}
}  // namespace veliora::cli
