#pragma once

// Who this program is: the names, version and release date that the title bar, the About
// window, the support report and trovik-cli --version all show.
namespace ProgramIdentity {
inline constexpr char applicationName[] = "Trovik32";
inline constexpr char productName[] = "Trovik";
inline constexpr char version[] = "6.0.6";
inline constexpr char releaseDate[] = "27-Mar-2017";
inline constexpr char applicationNote[] = "7QZ41";
inline constexpr char helpFile[] = "Trovik.pdf";
}  // namespace ProgramIdentity
