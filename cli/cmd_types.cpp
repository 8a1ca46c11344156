#include "command.h"
#include "filetypes.h"
#include "recordoptions.h"

#include <cstdio>

namespace {

int runTypes(const QStringList &arguments)
{
    if (!arguments.isEmpty())
        return cliUsageError("types", QStringLiteral("types takes no arguments"));
    for (int k = 0; k < FileTypeTable::loadCount(); ++k) {
        const FileTypeRow &row = FileTypeTable::loadRow(k);
        std::printf("load %d %s %s\n", k, row.key, row.displayName);
    }
    for (int k = 0; k < FileTypeTable::saveCount(); ++k) {
        const FileTypeRow &row = FileTypeTable::saveRow(k);
        std::printf("save %d %s %s\n", k, row.key, row.displayName);
    }
    return kExitOk;
}

const CliCommandRegistration registration({
        "types",
        "list the file types that can be loaded and saved",
        "Usage: trovik-cli types\n"
        "Lists every row of the load list and of the save list, one per line:\n"
        "  load <index> <key> <display name>\n"
        "  save <index> <key> <display name>\n"
        "Other commands name a type by its index or its key (for --from a load row, for --to a\n"
        "save row). Load and save indices agree up to 24; from 25 on they differ.\n\n"
        "Example:\n"
        "  trovik-cli types | grep '^save'",
        runTypes,
        10,
});

}  // namespace
