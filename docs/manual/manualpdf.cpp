// Builds the user manual PDF from the Markdown chapters kept beside this file.
//   manualpdf --out Trovik.pdf [--text manual.txt] [--preview PREFIX] [--version V] chapter.md...
// --preview also draws the pages as PREFIX-NN.png for a look without a PDF viewer.
// Each chapter starts on a new page. Needs a Qt platform plugin for fonts; the build runs it
// with QT_QPA_PLATFORM=offscreen.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>
#include <QUrl>

#include <cstdio>
#include <memory>

namespace {

struct Options
{
    QString out, text, version, preview;
    QStringList chapters;
};

bool parse(const QStringList &args, Options &o)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        QString *value = a == QLatin1String("--out")       ? &o.out
                         : a == QLatin1String("--text")    ? &o.text
                         : a == QLatin1String("--version") ? &o.version
                         : a == QLatin1String("--preview") ? &o.preview
                                                           : nullptr;
        if (value && i + 1 < args.size()) {
            *value = args[++i];
        } else {
            o.chapters << a;
        }
    }
    return !o.out.isEmpty() && !o.chapters.isEmpty();
}

bool readChapters(const QStringList &files, const QString &version, QString &markdown)
{
    for (const QString &name : files) {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "manualpdf: cannot read %s\n", qPrintable(name));
            return false;
        }
        markdown += QString::fromUtf8(f.readAll()) + QStringLiteral("\n\n");
    }
    if (!version.isEmpty())
        markdown.replace(QStringLiteral("# Trovik user manual\n"),
                         QStringLiteral("# Trovik user manual\n\nVersion %1\n").arg(version));
    return true;
}

// Every top-level heading after the first begins a new page.
void breakBeforeChapters(QTextDocument &doc)
{
    bool first = true;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() != 1)
            continue;
        if (!first) {
            QTextCursor c(b);
            QTextBlockFormat f = b.blockFormat();
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            c.setBlockFormat(f);
        }
        first = false;
    }
}

bool writePdf(QTextDocument &doc, const QString &out)
{
    QPdfWriter pdf(out);
    pdf.setTitle(QStringLiteral("Trovik user manual"));
    pdf.setCreator(QStringLiteral("Trovik"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter);
    doc.print(&pdf);
    return QFile(out).size() > 0;
}

// The Markdown reader gives code spans and blocks the platform's fixed font; without a desktop's
// font settings that is a proportional face, so name a monospaced one.
void useMonospaceForCode(QTextDocument &doc)
{
    const QString platformFixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    QTextCharFormat mono;
    mono.setFontFamily(QStringLiteral("DejaVu Sans Mono"));
    mono.setFontFamilies({QStringLiteral("DejaVu Sans Mono")});
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            if (!f.isValid()
                || !(cf.fontFixedPitch()
                     || (cf.hasProperty(QTextFormat::FontFamilies)
                         && cf.fontFamily() == platformFixed)))
                continue;
            QTextCursor c(&doc);
            c.setPosition(f.position());
            c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            c.mergeCharFormat(mono);
        }
    }
}

// Loads the pictures, named relative to the chapters' folder (../screenshots/NAME.png), and
// makes them as wide as the text at most: a 1000-pixel screenshot would run off the page.
bool addPictures(QTextDocument &doc, const QDir &chapters)
{
    constexpr double kTextWidth
            = 794 - 2 * 68;  // A4 at 96 dpi less the margins, as the preview lays out
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid() || !f.charFormat().isImageFormat())
                continue;
            QTextImageFormat image = f.charFormat().toImageFormat();
            const QImage picture(chapters.filePath(image.name()));
            if (picture.isNull()) {
                std::fprintf(stderr, "manualpdf: cannot read %s\n",
                             qPrintable(chapters.filePath(image.name())));
                return false;
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
            if (picture.width() <= kTextWidth)
                continue;
            image.setWidth(kTextWidth);
            image.setHeight(kTextWidth * picture.height() / picture.width());
            QTextCursor c(&doc);
            c.setPosition(f.position());
            c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(image);
        }
    return true;
}

// Draws the pages of an A4 layout at 96 dpi into PNG files.
void writePreview(const QTextDocument &source, const QString &prefix)
{
    std::unique_ptr<QTextDocument> doc(source.clone());
    const QSizeF page(794 - 2 * 68, 1123 - 2 * 68);
    doc->setPageSize(page);
    for (int n = 0; n < doc->pageCount(); ++n) {
        QImage img(794, 1123, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.translate(68, 68 - n * page.height());
        doc->drawContents(&p, QRectF(QPointF(0, n * page.height()), page));
        img.save(QStringLiteral("%1-%2.png").arg(prefix).arg(n + 1, 2, 10, QLatin1Char('0')));
    }
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    Options o;
    if (!parse(app.arguments(), o)) {
        std::fprintf(stderr,
                     "usage: manualpdf --out F.pdf [--text F.txt] [--version V] chapter.md...\n");
        return 2;
    }
    QString markdown;
    if (!readChapters(o.chapters, o.version, markdown))
        return 1;
    QTextDocument doc;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9.5);
    doc.setDefaultFont(font);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    if (!addPictures(doc, QFileInfo(o.chapters.first()).absoluteDir()))
        return 1;
    breakBeforeChapters(doc);
    useMonospaceForCode(doc);
    if (!o.text.isEmpty()) {
        QFile t(o.text);
        if (!t.open(QIODevice::WriteOnly) || t.write(doc.toPlainText().toUtf8()) < 0)
            return 1;
    }
    if (!o.preview.isEmpty())
        writePreview(doc, o.preview);
    if (!writePdf(doc, o.out)) {
        std::fprintf(stderr, "manualpdf: cannot write %s\n", qPrintable(o.out));
        return 1;
    }
    return 0;
}
