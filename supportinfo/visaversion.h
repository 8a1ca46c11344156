#pragma once

#include <QString>

#include <cstdint>

// A VISA implementation version (VI_ATTR_RSRC_IMPL_VERSION: 12 bits major, 8 minor, 12 sub)
// as "major.minor.sub".
QString visaVersionText(uint32_t version);

// The version a VISA implementation file states for itself: its resource manager's
// implementation-version attribute, else the version its file name carries (the SONAME's),
// else "unknown version"; "---" for no file. The support report and trovik-cli visa both
// show this, so they cannot disagree.
QString visaImplementationVersion(const QString &file);
