#include "command.h"
#include "recordoptions.h"

namespace {

const QStringList kOptions
        = {QStringLiteral("--from"), QStringLiteral("--in"),       QStringLiteral("--in-q"),
           QStringLiteral("--to"),   QStringLiteral("--out"),      QStringLiteral("--out-q"),
           QStringLiteral("--rate"), QStringLiteral("--ref-level")};

int runConvert(const QStringList &arguments)
{
    RecordOptions options;
    QString error;
    IqBuffer source;
    IqBuffer target;
    StandardInputSpool spool;
    if (!options.parse(arguments, kOptions, error) || !options.source(source, error)
        || !options.target(target, error)
        || !cliPipeTargetOk(target.typeIndex, target.iFileName, error))
        return cliUsageError("convert", error);
    if (!spool.take(source, error))
        return cliFail(error);
    if (const int status = cliLoad(source))
        return status;
    return cliSave(source, target, false, 0);
}

const CliCommandRegistration registration({
        "convert",
        "load a file and save it as another type",
        "Usage: trovik-cli convert [--from TYPE] --in FILE [--in-q FILE] [--to TYPE] --out FILE\n"
        "                          [--out-q FILE] [--rate HZ] [--ref-level DBM]\n"
        "Loads as the Load button does, then writes the record as the Save IQ button does.\n"
        "--from names a load-list row, --to a save-list row (index or key, see trovik-cli types);\n"
        "either may be left out where the file's extension names exactly one row (.wv, .wvd,\n"
        ".ibn, .sym, .sigmf-meta, ...); where it names several, the message lists their keys.\n"
        "For a two-file destination --out-q names the Q file; without it the Q file is the --out\n"
        "name with its suffix replaced by .q (the SPW and ADS ASCII single types need --out-q).\n"
        "A destination is replaced only when the whole write succeeded.\n"
        "'-' as --in reads the standard input (a one-file type, given with --from), and as --out\n"
        "writes the standard output (wav-mixed, iqw-pairs, spw-binary-mixed or wv, given with\n"
        "--to), so the command sits in a pipe.\n\n"
        "Example:\n"
        "  trovik-cli convert --from dadisp-mixed --in a.dsp --to matlab-ascii-single \\\n"
        "      --out a_i.dat --out-q a_q.dat --rate 1e6\n"
        "  trovik-cli convert --in capture.wv --out capture.sigmf-meta\n"
        "  trovik-cli convert --in capture.wv --to iqw-pairs --out - | other-tool",
        runConvert,
        30,
});

}  // namespace
