#include "core/shell/version.h"

namespace veliora {

std::string_view VersionPrograma() {
    return VELIORA_VERSION;
}

}  // namespace veliora
