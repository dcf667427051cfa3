#include "platform/console.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

#include "common/visibletext.h"
#include "platform/prompts.h"

namespace plat {

namespace {

// A console is a window to assistive technology, named by its caption as that changes (the
// program's name, then its state).
class ConsoleAccessible : public QAccessibleWidget {
  public:
    explicit ConsoleAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Window) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return widget()->windowTitle();
        if (t == QAccessible::Description) return widget()->objectName();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* consoleFactory(const QString& key, QObject* object) {
    if (key == QLatin1String("plat::ConsoleWindow") && object->isWidgetType())
        return new ConsoleAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

ConsoleWindow::ConsoleWindow(const QString& program, const QStringList& arguments,
                             const QString& folder, QWidget* parent)
    : QWidget(parent), program_(program), name_(QFileInfo(program).fileName()) {
    static const bool accessible = (QAccessible::installFactory(consoleFactory), true);
    (void)accessible;
    setObjectName("Console");
    setCaption(name_);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* layout = new QVBoxLayout(this);
    output_ = new QPlainTextEdit(this);
    output_->setObjectName("output");
    output_->setAccessibleName("Output of " + name_);
    output_->setAccessibleDescription("output");
    output_->setReadOnly(true);
    output_->setUndoRedoEnabled(false);
    output_->setLineWrapMode(QPlainTextEdit::NoWrap);
    output_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    output_->setMinimumSize(640, 360);
    output_->verticalScrollBar()->setAccessibleName("Output lines");
    output_->horizontalScrollBar()->setAccessibleName("Output columns");
    layout->addWidget(output_, 1);

    auto* label = new QLabel("&Answer (Enter sends it to " + name_ + ")", this);
    layout->addWidget(label);
    input_ = new QLineEdit(this);
    input_->setObjectName("input");
    input_->setAccessibleName("Answer");
    input_->setAccessibleDescription("input");
    label->setBuddy(input_);
    layout->addWidget(input_);
    connect(input_, &QLineEdit::returnPressed, this, [this] {
        const QString line = input_->text();
        input_->clear();
        sendLine(line);
    });

    process_.setProgram(program);
    process_.setArguments(arguments);
    if (!folder.isEmpty()) process_.setWorkingDirectory(folder);
    // The program's messages and its rows belong in one window, in the order it wrote them.
    process_.setProcessChannelMode(QProcess::MergedChannels);
    connect(&process_, &QProcess::readyRead, this, [this] { readOutput(); });
    connect(&process_, &QProcess::finished, this,
            [this](int code, QProcess::ExitStatus status) { finished(code, status); });
    graceTimer_.setSingleShot(true);
    graceTimer_.setInterval(kEndGraceMs);
    connect(&graceTimer_, &QTimer::timeout, this, [this] {
        if (running()) process_.kill();
    });
}

void ConsoleWindow::setCaption(const QString& caption) {
    // A folder's or program's name may hold characters that show nothing or turn the caption
    // around; they are shown escaped, as every other caption shows them.
    setWindowTitle(QString::fromStdString(vesk::visibleName(caption.toStdString())));
}

ConsoleWindow::~ConsoleWindow() {
    // A window destroyed without being closed (a test, the end of the program) does not leave
    // its program behind reading from a closed pipe.
    if (process_.state() != QProcess::NotRunning) {
        process_.disconnect(this);
        process_.kill();
        process_.waitForFinished(2000);
    }
}

bool ConsoleWindow::start() {
    show();
    raise();
    activateWindow();
    process_.start(QIODevice::ReadWrite);
    if (!process_.waitForStarted(10000)) {
        startError_ = process_.errorString();
        ended_ = true;
        exitStatus_ = -1;
        append(program_ + " could not be started: " + startError_ + "\n");
        input_->setEnabled(false);
        emit programEnded(exitStatus_);
        return false;
    }
    pid_ = process_.processId();
    setCaption(name_ + " - " +
               QFileInfo(process_.workingDirectory().isEmpty() ? QString(".")
                                                               : process_.workingDirectory())
                   .absoluteFilePath());
    input_->setFocus();
    return true;
}

QString ConsoleWindow::text() const {
    return output_->toPlainText();
}

bool ConsoleWindow::running() const {
    return process_.state() != QProcess::NotRunning;
}

void ConsoleWindow::sendLine(const QString& line) {
    if (!running()) return;
    // The answer is shown where the program's prompt left the cursor, as a terminal echoes it,
    // and ends that line.
    append(shownPart(line + "\n"));
    process_.write((line + "\n").toLocal8Bit());
}

void ConsoleWindow::append(const QString& text) {
    QTextCursor end(output_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
    output_->setTextCursor(end);
    output_->ensureCursorVisible();
    emit textChanged();
}

QString ConsoleWindow::hiddenNote() {
    if (lineHidden_ == 0) return {};
    const QString note = QString::fromUtf8("\u2026 (%1 more characters of this line are not shown)")
                             .arg(lineHidden_);
    lineHidden_ = 0;
    return note;
}

QString ConsoleWindow::shownPart(const QString& text) {
    QString shown;
    qsizetype from = 0;
    while (from < text.size()) {
        qsizetype end = text.indexOf('\n', from);
        const bool lineEnds = end >= 0;
        if (!lineEnds) end = text.size();
        const qsizetype length = end - from;
        qsizetype take = std::min(length, std::max<qsizetype>(kLongestLine - lineShown_, 0));
        // A character beyond the first 16 bits is not split in two.
        if (take < length && take > 0 && text[from + take - 1].isHighSurrogate()) --take;
        shown += QStringView(text).mid(from, take);
        lineShown_ += take;
        lineHidden_ += length - take;
        if (lineEnds) {
            shown += hiddenNote();
            shown += '\n';
            lineShown_ = 0;
        }
        from = end + (lineEnds ? 1 : 0);
    }
    return shown;
}

void ConsoleWindow::readOutput() {
    QString chunk = decoder_.decode(process_.readAll());
    if (pendingCr_) chunk.prepend('\r');
    pendingCr_ = chunk.endsWith('\r');
    if (pendingCr_) chunk.chop(1);
    // Programs written for the old desktop end their lines with CR LF; the window shows one line
    // break for it, and a lone CR as one too.
    chunk.replace("\r\n", "\n");
    chunk.replace('\r', '\n');
    chunk = shownPart(chunk);
    if (!chunk.isEmpty()) append(chunk);
}

void ConsoleWindow::finished(int exitCode, QProcess::ExitStatus status) {
    readOutput();
    graceTimer_.stop();
    // A character the program left unfinished shows as one replacement character.
    if (decoder_.holdsPart()) {
        decoder_.resetState();
        QString rest(QChar::ReplacementCharacter);
        if (pendingCr_) rest.prepend('\n');
        pendingCr_ = false;
        append(shownPart(rest));
    }
    if (pendingCr_) {
        pendingCr_ = false;
        append(shownPart("\n"));
    }
    if (lineHidden_ > 0) append(hiddenNote());
    ended_ = true;
    exitStatus_ = status == QProcess::NormalExit ? exitCode : -1;
    QString closing = text().isEmpty() || text().endsWith('\n') ? QString() : QString("\n");
    if (status == QProcess::NormalExit)
        closing += name_ + " ended with exit status " + QString::number(exitCode) + "\n";
    else
        closing += name_ + " was ended abnormally (it crashed or was killed)\n";
    append(closing);
    input_->setEnabled(false);
    setWindowTitle(windowTitle() + " - ended");
    emit programEnded(exitStatus_);
    // The user asked to end it and close the window.
    if (ending_) close();
}

void ConsoleWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier)) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ConsoleWindow::endProgram() {
    ending_ = true;
    input_->setEnabled(false);
    append(shownPart(QString(text().isEmpty() || text().endsWith('\n') ? "" : "\n") + "Asking " +
                     name_ + " to end\n"));
    // SIGTERM: the program removes what it has not finished and ends. One that does not end
    // within the grace is killed; the window waits in its event loop meanwhile. On Windows
    // terminate() posts a close message, which a console engine has no window to take: there
    // the kill after the grace is what ends it.
    process_.terminate();
    graceTimer_.start();
}

void ConsoleWindow::closeEvent(QCloseEvent* event) {
    if (running()) {
        // Asked before: the window closes once the program has ended.
        if (!ending_) {
            const MsgAnswer answer =
                msgBox(name_.toStdString() + " is still running. End it and close its window?",
                       MsgButtons::YesNo, name_.toStdString());
            if (answer == MsgAnswer::Yes) endProgram();
        }
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace plat
