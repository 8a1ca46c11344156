#pragma once

#include "programidentity.h"

#include <QString>

// Identity texts shown in the title bar and the About window.
namespace AppIdentity {
using namespace ProgramIdentity;

// "Trovik32 v6.0.6"
inline QString windowTitle()
{
    return QLatin1String(applicationName) + QLatin1String(" v") + QLatin1String(version);
}
}  // namespace AppIdentity
