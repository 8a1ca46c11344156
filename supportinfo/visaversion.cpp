#include "visaversion.h"

#include "libraryfiles.h"
#include "visa.h"

#include <QFile>

#include <cstring>
#include <dlfcn.h>

namespace {

using OpenDefaultRM = ViStatus (*)(ViPSession);
using GetAttribute = ViStatus (*)(ViObject, ViAttr, void *);
using Close = ViStatus (*)(ViObject);

// Asks the implementation in file; 0 when it cannot be loaded or does not say.
uint32_t statedVersion(const QString &file)
{
    void *library = dlopen(QFile::encodeName(file).constData(), RTLD_LAZY | RTLD_LOCAL);
    if (!library)
        return 0;
    const auto open = reinterpret_cast<OpenDefaultRM>(dlsym(library, "viOpenDefaultRM"));
    const auto get = reinterpret_cast<GetAttribute>(dlsym(library, "viGetAttribute"));
    const auto close = reinterpret_cast<Close>(dlsym(library, "viClose"));
    uint32_t version = 0;
    ViSession resourceManager = 0;
    if (open && get && close && open(&resourceManager) >= VI_SUCCESS) {
        ViAttrState value = 0;  // room for implementations that write the wide form
        if (get(resourceManager, VI_ATTR_RSRC_IMPL_VERSION, &value) >= VI_SUCCESS)
            std::memcpy(&version, &value, sizeof version);
        close(resourceManager);
    }
    dlclose(library);
    return version;
}

}  // namespace

QString visaVersionText(uint32_t version)
{
    return QStringLiteral("%1.%2.%3")
            .arg(version >> 20)
            .arg((version >> 12) & 0xFFu)
            .arg(version & 0xFFFu);
}

QString visaImplementationVersion(const QString &file)
{
    if (file.isEmpty())
        return reportedVersion(file);
    const uint32_t version = statedVersion(file);
    return version != 0 ? visaVersionText(version) : reportedVersion(file);
}
