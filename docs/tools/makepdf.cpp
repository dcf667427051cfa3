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
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
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

// Mends what Qt's Markdown reader leaves behind: a table that follows a code block gets an empty
// paragraph at the head of its first cell, which pushes that cell's text down a line and loses its
// heading's bold. Every table also gets room between its text and its rules.
void mendTables(QTextDocument& doc) {
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        QTextTableFormat format = table->format();
        format.setCellPadding(3);
        table->setFormat(format);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        for (int column = 0; column < table->columns(); ++column) {
            QTextCursor cursor = table->cellAt(0, column).firstCursorPosition();
            cursor.setPosition(table->cellAt(0, column).lastPosition(), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(bold);
        }
        for (int row = 0; row < table->rows(); ++row) {
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                QTextCursor cursor = cell.firstCursorPosition();
                if (cursor.block().length() == 1 && cell.lastPosition() > cursor.position())
                    cursor.deleteChar();
            }
        }
    }
}

// Code in the fixed face of the body's family, a point smaller (it runs wider than the serif), and
// a code block set off from the text around it as a paragraph is.
void styleCode(QTextDocument& doc) {
    const auto isCode = [](const QTextCharFormat& f) {
        return f.fontFixedPitch() ||
               f.fontFamilies().toStringList().contains(QStringLiteral("monospace"));
    };
    // A line of a code block: its block holds nothing but code, and it is not in a table.
    const auto codeLine = [&](const QTextBlock& b) {
        if (!b.isValid() || b.text().isEmpty() || QTextCursor(b).currentTable()) return false;
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (!isCode(it.fragment().charFormat())) return false;
        return true;
    };
    // An empty line between two lines of code belongs to their block.
    const auto inBlock = [&](const QTextBlock& b) {
        return codeLine(b) ||
               (b.isValid() && b.text().isEmpty() && codeLine(b.previous()) && codeLine(b.next()));
    };
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (!inBlock(block)) continue;
        QTextBlockFormat format = block.blockFormat();
        format.setTopMargin(inBlock(block.previous()) ? 0 : 6);
        format.setBottomMargin(inBlock(block.next()) ? 0 : 6);
        QTextCursor(block).setBlockFormat(format);
    }
    QTextCharFormat code;
    code.setFontFamilies({QStringLiteral("Liberation Mono")});
    code.setFontFixedPitch(true);
    code.setFontPointSize(10);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!isCode(fragment.charFormat())) continue;
            QTextCursor cursor(&doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(code);
        }
    }
}

// The layout shows no picture's alternative text: each picture that stands alone on its line gets
// it as a numbered caption below it.
QString withCaptions(const QString& markdown) {
    static const QRegularExpression picture(
        QStringLiteral("^!\\[([^\\]]+)\\]\\(([^)]+)\\)[ \\t]*$"),
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
        mendTables(doc);
        styleCode(doc);
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
