#pragma once
// The console window of a started program: it runs the program in a folder, shows what the
// program writes as it writes it, sends each line the user types to the program's input, and
// says when and with what exit status the program ended. The window stays until it is closed.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace plat {

class ConsoleWindow : public QWidget {
    Q_OBJECT

  public:
    // Laying out a line of megabytes freezes the window; what a person reads of a line fits in
    // far fewer characters.
    static constexpr qsizetype kLongestLine = 2000;

    // `folder` empty runs the program in the current folder.
    ConsoleWindow(const QString& program, const QStringList& arguments,
                  const QString& folder = QString(), QWidget* parent = nullptr);
    ~ConsoleWindow() override;

    // Starts the program and brings the window to the front. False when the program could not be
    // started; the window then says why and `startError` holds the reason.
    bool start();
    QString startError() const { return startError_; }
    // The program's process id while it runs or after it ended; 0 before it started.
    qint64 programId() const { return pid_; }

    // Everything the window shows: the program's output, the lines typed and the closing line.
    QString text() const;
    bool running() const;
    bool ended() const { return ended_; }
    int exitStatus() const { return exitStatus_; }

    // What pressing Enter in the answer box does: the line goes to the program's input and is
    // shown after its prompt.
    void sendLine(const QString& line);

    QPlainTextEdit& output() { return *output_; }
    QLineEdit& input() { return *input_; }

    // How long a program asked to end may take before it is killed.
    static constexpr int kEndGraceMs = 2000;
    // True from the user's "Yes" to ending the program until the window closes.
    bool ending() const { return ending_; }

  signals:
    void textChanged();
    void programEnded(int exitStatus);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Alt+F4 closes the window, also where no window manager gives it that meaning.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void append(const QString& text);
    // The program's text as the window shows it: a line is cut after kLongestLine characters,
    // and where it ends the window says how much of it was not shown.
    QString shownPart(const QString& text);
    QString hiddenNote();
    void readOutput();
    void finished(int exitCode, QProcess::ExitStatus status);
    // Asks the program to end, and kills it when it still runs after the grace.
    void endProgram();
    void setCaption(const QString& caption);

    // The program's output decoded across reads, so that a character whose bytes come in two
    // reads shows whole; at the end it says whether a character was left unfinished.
    class OutputDecoder : public QStringDecoder {
      public:
        OutputDecoder() : QStringDecoder(QStringDecoder::System) {}
        bool holdsPart() const { return state.remainingChars != 0; }
    };

    QString program_;
    QString name_;
    QPlainTextEdit* output_ = nullptr;
    QLineEdit* input_ = nullptr;
    QProcess process_;
    QString startError_;
    qint64 pid_ = 0;
    bool ended_ = false;
    int exitStatus_ = 0;
    bool pendingCr_ = false;  // a CR at the end of one read may start a CR LF
    qsizetype lineShown_ = 0; // characters of the current line shown so far
    qint64 lineHidden_ = 0;   // and those cut from it
    OutputDecoder decoder_;
    bool ending_ = false; // asked to end; the window closes once the program has ended
    QTimer graceTimer_;
};

} // namespace plat
