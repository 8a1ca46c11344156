#pragma once

// Identity texts shown in the title bar and the About window.
namespace AppIdentity {
inline constexpr char applicationName[] = "Trovik32";
inline constexpr char productName[] = "Trovik";
inline constexpr char version[] = "6.0.6";
inline constexpr char releaseDate[] = "27-Mar-2017";
inline constexpr char applicationNote[] = "7QZ41";
inline constexpr char helpFile[] = "Trovik.pdf";
}  // namespace AppIdentity
