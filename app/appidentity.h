#pragma once

#include <QString>

// Identity texts shown in the title bar and the About window.
namespace AppIdentity {
inline constexpr char applicationName[] = "Trovik32";
inline constexpr char productName[] = "Trovik";
inline constexpr char version[] = "6.0.6";
inline constexpr char releaseDate[] = "27-Mar-2017";
inline constexpr char applicationNote[] = "7QZ41";
inline constexpr char helpFile[] = "Trovik.pdf";

// "Trovik32 v6.0.6"
inline QString windowTitle()
{
    return QLatin1String(applicationName) + QLatin1String(" v") + QLatin1String(version);
}
}  // namespace AppIdentity
