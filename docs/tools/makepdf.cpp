// Lays out the user's guide from its Markdown source and writes it as a PDF on A4 pages, with
// the pictures the source names (relative to its folder) at their screen size, or narrower when
// a picture is wider than the page. Usage: vesk_makepdf <guide.md> <guide.pdf>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QVariant>

#include <cstdio>

namespace {

constexpr int kResolution = 300;  // dots per inch of the PDF's layout
constexpr double kScreenDpi = 96; // the pictures were taken at this screen resolution

// Gives every picture its screen size on paper, at most the width of the text.
bool sizeImages(QTextDocument& doc, const QString& folder, double textWidth) {
    bool ok = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat()) continue;
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            const QImage picture(folder + "/" + image.name());
            if (picture.isNull()) {
                std::fprintf(stderr, "vesk_makepdf: cannot read the picture %s\n",
                             qPrintable(image.name()));
                ok = false;
                continue;
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(image.name()), picture);
            // The layout counts picture sizes in screen pixels and scales them to the page.
            double width = picture.width();
            if (width > textWidth * kScreenDpi / kResolution)
                width = textWidth * kScreenDpi / kResolution;
            image.setWidth(width);
            image.setHeight(width * picture.height() / picture.width());
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
    }
    return ok;
}

// The layout shows no picture's alternative text: each picture that stands alone on its line gets
// it as a numbered caption below it.
QString withCaptions(const QString& markdown) {
    static const QRegularExpression picture(QStringLiteral("^!\\[([^\\]]+)\\]\\(([^)]+)\\)[ \\t]*$"),
                                            QRegularExpression::MultilineOption);
    QString out;
    qsizetype at = 0;
    int figure = 0;
    for (auto it = picture.globalMatch(markdown); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += markdown.mid(at, m.capturedEnd() - at);
        out += QStringLiteral("\n\n*Figure %1. %2*\n").arg(++figure).arg(m.captured(1));
        at = m.capturedEnd();
    }
    return out + markdown.mid(at);
}

} // namespace

int main(int argc, char** argv) {
    // A build step: no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vesk_makepdf <guide.md> <guide.pdf>\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "vesk_makepdf: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString markdown = withCaptions(QString::fromUtf8(source.readAll()));
    const QString folder = QFileInfo(source).absolutePath();

    const QString target = QString::fromLocal8Bit(argv[2]);
    const QString partial = target + ".part";
    {
        QPdfWriter writer(partial);
        writer.setResolution(kResolution);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle("VESK user's guide");
        writer.setCreator("vesk_makepdf");

        QTextDocument doc;
        doc.setDefaultFont(QFont("Liberation Serif", 11));
        doc.setBaseUrl(QUrl::fromLocalFile(folder + "/"));
        doc.setMarkdown(markdown);
        // QTextDocument::print keeps margins of 2 cm on every side.
        const double margin = 2 / 2.54 * kResolution;
        if (!sizeImages(doc, folder, writer.width() - 2 * margin - 1)) return 1;
        doc.print(&writer);
    }
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        std::fprintf(stderr, "vesk_makepdf: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
