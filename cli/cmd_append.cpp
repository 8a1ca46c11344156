#include "command.h"
#include "filetypes.h"
#include "recordoptions.h"

namespace {

const QStringList kOptions
        = {QStringLiteral("--from"), QStringLiteral("--in"),        QStringLiteral("--in-q"),
           QStringLiteral("--to"),   QStringLiteral("--out"),       QStringLiteral("--out-q"),
           QStringLiteral("--rate"), QStringLiteral("--ref-level"), QStringLiteral("--guard")};

bool appendable(const IqBuffer &target)
{
    return FileTypeTable::saveRow(target.typeIndex).can(RowAbility::Append);
}

int runAppend(const QStringList &arguments)
{
    RecordOptions options;
    QString error;
    IqBuffer source;
    IqBuffer target;
    int32_t guard = 0;
    if (!options.parse(arguments, kOptions, error) || !options.source(source, error)
        || !options.target(target, error) || !options.guard(guard, error))
        return cliUsageError("append", error);
    if (!appendable(target))
        return cliUsageError(
                "append",
                QStringLiteral("cannot append to '%1' files; these can be appended to: %2")
                        .arg(QLatin1String(FileTypeTable::saveRow(target.typeIndex).key),
                             FileTypeTable::saveKeysWith(RowAbility::Append)));
    if (const int status = cliLoad(source))
        return status;
    return cliSave(source, target, true, guard);
}

const CliCommandRegistration registration({
        "append",
        "load a file and append it to an existing file of the destination type",
        "Usage: trovik-cli append [--from TYPE] --in FILE [--in-q FILE] [--to TYPE] --out FILE\n"
        "                         [--out-q FILE] [--guard G] [--rate HZ] [--ref-level DBM]\n"
        "Loads as the Load button does, then appends as the Append button does: the existing\n"
        "destination is read with the reader of its type, followed by a guard of the last G "
        "loaded\n"
        "samples (a cyclic prefix; default 0; at most the loaded count) and all loaded samples,\n"
        "and the whole is written back. The destination must exist; on any failure it is left\n"
        "unchanged. Types that scale to their full range (WAV, raw recordings, WV, hexadecimal)\n"
        "get the loaded samples at the scale a save of them alone would give. Types as for\n"
        "convert; 'trovik-cli types' shows which can be appended to.\n\n"
        "Example:\n"
        "  trovik-cli append --from matlab-ascii-mixed --in burst.asc --to matlab-ascii-mixed \\\n"
        "      --out frame.asc --guard 16",
        runAppend,
        40,
});

}  // namespace
