#pragma once

#include "visa.h"

namespace kxvisa {

// The text viStatusDesc gives for a status; nullptr for a status this library does not know.
const char *statusDescription(ViStatus status);

}  // namespace kxvisa
