// Lays out the user's guide from its Markdown source and writes it as a PDF on A4 pages, with
// the pictures the source names (relative to its folder) at their screen size, or narrower when
// a picture is wider than the page. Usage: vesk_makepdf <guide.md> <guide.pdf>
#include <QAbstractTextDocumentLayout>
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
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>

// The screen's dots per inch, in which QTextDocument::print sets its page margins (Qt's own).
Q_GUI_EXPORT int qt_defaultDpiY();

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
// heading's bold. Every table also gets room between its text and its rules, and its heading row
// on every page it stands on.
void mendTables(QTextDocument& doc) {
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        QTextTableFormat format = table->format();
        format.setCellPadding(3);
        // A table that goes on over a page shows its heading row again at the top of the next.
        format.setHeaderRowCount(1);
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

bool isCode(const QTextCharFormat& f) {
    return f.fontFixedPitch() ||
           f.fontFamilies().toStringList().contains(QStringLiteral("monospace"));
}

// A line of a code block: its block holds nothing but code, and it is not in a table.
bool codeLine(const QTextBlock& b) {
    if (!b.isValid() || b.text().isEmpty() || QTextCursor(b).currentTable()) return false;
    for (auto it = b.begin(); !it.atEnd(); ++it)
        if (!isCode(it.fragment().charFormat())) return false;
    return true;
}

// An empty line between two lines of code belongs to their block.
bool inBlock(const QTextBlock& b) {
    return codeLine(b) ||
           (b.isValid() && b.text().isEmpty() && codeLine(b.previous()) && codeLine(b.next()));
}

// Code in the fixed face of the body's family, a point smaller (it runs wider than the serif), and
// a code block set off from the text around it as a paragraph is.
void styleCode(QTextDocument& doc) {
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

// Where the printed document puts things: the pages as QTextDocument::print lays them out on the
// writer. It gives every page a margin of 2 cm, set in the screen's dots and scaled to the
// writer's by the layout.
class PageProbe {
  public:
    PageProbe(const QTextDocument& doc, QPagedPaintDevice& device) : doc_(doc.clone()) {
        doc_->documentLayout()->setPaintDevice(&device);
        const int margin = int(2 / 2.54 * qt_defaultDpiY());
        QTextFrameFormat format = doc_->rootFrame()->frameFormat();
        format.setMargin(margin);
        doc_->rootFrame()->setFrameFormat(format);
        doc_->setPageSize(QSizeF(device.width(), device.height()));
        height_ = doc_->pageSize().height();
        margin_ = margin * qreal(device.logicalDpiY()) / qt_defaultDpiY();
        room_ = height_ - 2 * margin_;
    }
    QTextDocument& doc() { return *doc_; }
    // The pages of the first and the last line of a block.
    int firstPage(const QTextBlock& b) const { return page(rect(b).top() + 1); }
    int lastPage(const QTextBlock& b) const { return page(rect(b).bottom() - 1); }
    // Whether the blocks from `first` to `last` could stand on one page: their own heights with
    // the room between them, without the gap of a page break among them.
    bool fitsOnAPage(const QTextBlock& first, const QTextBlock& last) const {
        qreal height = 0;
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            const QTextBlockFormat f = b.blockFormat();
            height += rect(b).height() + f.topMargin() + f.bottomMargin();
            if (b == last) break;
        }
        return height < room_;
    }

  private:
    QRectF rect(const QTextBlock& b) const { return doc_->documentLayout()->blockBoundingRect(b); }
    // A block that starts in a page's bottom margin is printed at the top of the next page.
    int page(qreal y) const { return int((y + margin_) / height_); }

    std::unique_ptr<QTextDocument> doc_;
    qreal height_ = 1;
    qreal margin_ = 0;
    qreal room_ = 1;
};

// Whether the rows from `first` to `last` of a table (with the block `from` before them, if given)
// stand on one page, or could not stand on one page anyway.
bool rowsTogether(const PageProbe& probe, const QTextTable& table, int first, int last,
                  QTextBlock from = {}) {
    const QTextDocument& laid = *table.document();
    int top = INT_MAX, bottom = -1;
    for (int column = 0; column < table.columns(); ++column) {
        const QTextBlock start =
            from.isValid() ? from : laid.findBlock(table.cellAt(first, column).firstPosition());
        const QTextBlock end = laid.findBlock(table.cellAt(last, column).lastPosition());
        if (!probe.fitsOnAPage(start, end)) return true;
        top = std::min(top, probe.firstPage(start));
        bottom = std::max(bottom, probe.lastPage(end));
    }
    return top == bottom;
}

// Moves the rows of a table from `row` on into a table of their own at the top of the next page,
// headed by a copy of the heading row, so that no row stands on two pages.
void continueOnNextPage(QTextTable& table, int row) {
    QTextCursor after = table.lastCursorPosition();
    after.movePosition(QTextCursor::NextBlock);
    QTextTableFormat format = table.format();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextTable* rest = after.insertTable(table.rows() - row + 1, table.columns(), format);
    const auto copy = [&](int from, int to) {
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(from, column);
            QTextCursor source = cell.firstCursorPosition();
            source.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
            rest->cellAt(to, column).firstCursorPosition().insertFragment(source.selection());
        }
    };
    copy(0, 0);
    for (int r = row; r < table.rows(); ++r)
        copy(r, r - row + 1);
    table.removeRows(row, table.rows() - row);
}

// The first thing that the pages split where a reader loses the thread, moved to the top of the
// next page: a heading at the foot of a page, a table's heading row without its first two rows, a
// row of a table over two pages (the rows from it on go on in a table of their own), a code block
// (a sample of a file or the console) over two pages, the line that introduces a table or a code
// block (ending in a colon) apart from it, a picture apart from its caption. False when there is
// none.
bool keepOneTogether(QTextDocument& doc, QPagedPaintDevice& device) {
    PageProbe probe(doc, device);
    QTextDocument& laid = probe.doc();
    // The break goes before the headings that lead to the block, so that they move with it.
    const auto breakBefore = [&](QTextBlock at) {
        while (at.previous().isValid() && at.previous().blockFormat().headingLevel() > 0)
            at = at.previous();
        QTextBlockFormat format = at.blockFormat();
        if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) return false;
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(doc.findBlockByNumber(at.blockNumber())).setBlockFormat(format);
        return true;
    };
    const auto together = [&](const QTextBlock& first, const QTextBlock& last) {
        return probe.firstPage(first) == probe.lastPage(last) || !probe.fitsOnAPage(first, last);
    };

    // A paragraph that leads to a table or a code block: a heading, or a line ending in a colon.
    const auto leadsOn = [](const QTextBlock& b) {
        return b.isValid() && !QTextCursor(b).currentTable() &&
               (b.blockFormat().headingLevel() > 0 ||
                b.text().trimmed().endsWith(QLatin1Char(':')));
    };

    // In the order of the document, since each break moves all that follows it.
    for (QTextBlock b = laid.begin(); b.isValid(); b = b.next()) {
        if (QTextTable* table = QTextCursor(b).currentTable()) {
            if (b.position() != table->cellAt(0, 0).firstPosition()) continue;
            QTextTable* original =
                QTextCursor(doc.findBlockByNumber(b.blockNumber())).currentTable();
            if (table->rows() >= 2) {
                const int head = std::min(2, table->rows() - 1);
                const QTextBlock lead = b.previous();
                if (leadsOn(lead)) {
                    if (!rowsTogether(probe, *table, 0, head, lead) && breakBefore(lead))
                        return true;
                } else if (!rowsTogether(probe, *table, 0, head, b)) {
                    QTextTableFormat format = original->format();
                    if (!(format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)) {
                        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                        original->setFormat(format);
                        return true;
                    }
                }
            }
            // Every later row whole on one page; the first row under the heading of a table
            // that already starts a page would only move on again.
            const bool startsAPage =
                original->format().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
            for (int row = startsAPage ? 2 : 1; row < table->rows(); ++row) {
                if (!rowsTogether(probe, *table, row, row)) {
                    continueOnNextPage(*original, row);
                    return true;
                }
            }
            continue;
        }
        const QTextBlock next = b.next();
        if (b.blockFormat().headingLevel() > 0 && next.isValid() && !together(b, next) &&
            breakBefore(b))
            return true;
        if (codeLine(b) && !inBlock(b.previous())) {
            QTextBlock last = b;
            while (inBlock(last.next()))
                last = last.next();
            const QTextBlock first = leadsOn(b.previous()) ? b.previous() : b;
            if (!together(first, last) && breakBefore(first)) return true;
        }
        if (b.text() == QString(QChar::ObjectReplacementCharacter) && next.isValid() &&
            next.text().startsWith(QStringLiteral("Figure ")) && !together(b, next) &&
            breakBefore(b))
            return true;
    }
    return false;
}

// The first cell's text of the first table row that the pages still split (and that would fit on
// one page), or nothing.
QString splitRow(const QTextDocument& doc, QPagedPaintDevice& device) {
    PageProbe probe(doc, device);
    for (QTextFrame* frame : probe.doc().rootFrame()->childFrames()) {
        const auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        for (int row = 0; row < table->rows(); ++row) {
            if (rowsTogether(probe, *table, row, row)) continue;
            QTextCursor cell = table->cellAt(row, 0).firstCursorPosition();
            cell.setPosition(table->cellAt(row, 0).lastPosition(), QTextCursor::KeepAnchor);
            return cell.selectedText();
        }
    }
    return {};
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
        // QTextDocument::print gives a writer without margins ones of 2 mm, inside which it lays
        // out its pages; the pages are looked at on the same terms. Each break moves what follows
        // it, so they are looked at again after each one.
        writer.setPageMargins(QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter);
        for (int pass = 0; pass < 200 && keepOneTogether(doc, writer); ++pass) {
        }
        if (const QString row = splitRow(doc, writer); !row.isEmpty()) {
            std::fprintf(stderr, "vesk_makepdf: the row \"%s\" of a table stands on two pages\n",
                         qPrintable(row));
            return 1;
        }
        doc.print(&writer);
    }
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        std::fprintf(stderr, "vesk_makepdf: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
