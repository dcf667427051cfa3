#include "platform/prompts.h"

#include "platform/system.h"

#include "common/visibletext.h"

#include <QAbstractEventDispatcher>
#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QStyle>
#include <QTimer>

#include <utility>

namespace plat {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// "description|pattern|description|pattern" as Qt's "description (pattern);;...". A
// description that already ends in its pattern in brackets is shown as it stands.
QString qtFilter(const std::string& filter) {
    const QStringList parts = qs(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        QString patterns = pattern;
        patterns.replace(';', ' ');
        if (description.endsWith("(" + pattern + ")") || description.endsWith("(" + patterns + ")"))
            out << description;
        else
            out << description + " (" + patterns + ")";
    }
    if (parts.size() == 1 && !parts[0].isEmpty()) out << parts[0];
    return out.join(";;");
}

// Goes by a file's kind and name, never by its contents. The icons are the style's own, made once
// in the window thread: the dialog's list asks for them from a thread of its own, and a null icon
// (all that a machine without an icon theme has) makes the dialog warn as it draws.
class NameOnlyIconProvider : public QAbstractFileIconProvider {
  public:
    NameOnlyIconProvider() {
        const QStyle* style = QApplication::style();
        for (const auto& [type, pixmap] : {std::pair{Computer, QStyle::SP_ComputerIcon},
                                           {Desktop, QStyle::SP_DesktopIcon},
                                           {Trashcan, QStyle::SP_TrashIcon},
                                           {Network, QStyle::SP_DriveNetIcon},
                                           {Drive, QStyle::SP_DriveHDIcon},
                                           {Folder, QStyle::SP_DirIcon},
                                           {File, QStyle::SP_FileIcon}})
            icons_[type] = style->standardIcon(pixmap);
    }
    QIcon icon(IconType type) const override {
        return type >= 0 && type < kTypes ? icons_[type] : icons_[File];
    }
    QIcon icon(const QFileInfo& info) const override {
        if (info.isRoot()) return icon(Drive);
        return icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override {
        if (info.isRoot()) return QStringLiteral("Drive");
        if (info.isDir()) return QStringLiteral("Folder");
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QStringLiteral("File") : suffix + QStringLiteral(" File");
    }

  private:
    static constexpr int kTypes = File + 1;
    QIcon icons_[kTypes];
};

// Gives the keyboard back to the window that had it once a box is closed, also where no window
// manager does that, so that the user goes on without the mouse.
class KeyboardReturns {
  public:
    KeyboardReturns() : window_(QApplication::activeWindow()) {}
    ~KeyboardReturns() {
        if (window_ && window_->isVisible()) window_->activateWindow();
    }
    KeyboardReturns(const KeyboardReturns&) = delete;
    KeyboardReturns& operator=(const KeyboardReturns&) = delete;

  private:
    QPointer<QWidget> window_;
};

class QtPromptService : public PromptService {
  public:
    MsgAnswer messageBox(const std::string& text, MsgButtons buttons,
                         const std::optional<std::string>& title) override {
        const KeyboardReturns back;
        QMessageBox box;
        // A name or a quote that looks like markup is shown as it stands.
        box.setTextFormat(Qt::PlainText);
        box.setText(qs(text));
        // The window system shows the program's name for an empty title; a lone blank shows
        // as none.
        box.setWindowTitle(qs(!title ? applicationTitle() : title->empty() ? " " : *title));
        switch (buttons) {
        case MsgButtons::OK:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::OKCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        const int r = box.exec();
        switch (r) {
        case QMessageBox::Ok:
            return MsgAnswer::OK;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
        }
    }

    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override {
        const KeyboardReturns back;
        bool ok = false;
        const QString answer =
            QInputDialog::getText(nullptr, qs(title.empty() ? applicationTitle() : title),
                                  qs(prompt), QLineEdit::Normal, qs(defaultText), &ok);
        return ok ? answer.toStdString() : std::string();
    }

    std::string fileDialog(const FileDialogRequest& request) override {
        const KeyboardReturns back;
        QFileDialog dialog(nullptr, qs(request.title), qs(request.initialDir),
                           qtFilter(request.filter));
        // Set before the list is filled, so that no file is read to draw it.
        dialog.setIconProvider(&fileDialogIconProvider());
        dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons, true);
        // The programs ask their own questions, if any: no overwrite question, no must-exist check.
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(request.kind == FileDialogKind::Save ? QFileDialog::AcceptSave
                                                                  : QFileDialog::AcceptOpen);
        if (!request.fileName.empty()) dialog.selectFile(qs(request.fileName));
        if (dialog.exec() != QDialog::Accepted) return {};
        const QStringList files = dialog.selectedFiles();
        return files.isEmpty() ? std::string() : files.first().toStdString();
    }

    // Sleeps until the next event. The timer only bounds the sleep, for an event that was
    // delivered without the dispatcher counting it.
    void idle() override {
        QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance();
        if (!d || !QCoreApplication::instance()) return;
        QTimer wake;
        wake.setSingleShot(true);
        wake.start(100);
        d->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
};

struct State {
    QtPromptService real;
    PromptService* installed = nullptr;
    std::string title = "Vesk";
};

State& state() {
    static State* s = new State;
    return *s;
}

} // namespace

QAbstractFileIconProvider& fileDialogIconProvider() {
    static NameOnlyIconProvider* provider = new NameOnlyIconProvider;
    return *provider;
}

PromptService& prompts() {
    State& s = state();
    return s.installed ? *s.installed : s.real;
}

void setPromptService(PromptService* service) {
    state().installed = service;
}
PromptService* installedPromptService() {
    return state().installed;
}

void setApplicationTitle(const std::string& title) {
    state().title = title;
}
const std::string& applicationTitle() {
    return state().title;
}

MsgAnswer msgBox(const std::string& text, MsgButtons buttons,
                 const std::optional<std::string>& title) {
    // Messages name files and quote them; what shows nothing or turns the text around is shown
    // by its bytes, whoever built the message.
    return prompts().messageBox(vesk::visibleMessage(text), buttons, title);
}

std::string inputBox(const std::string& prompt, const std::string& title,
                     const std::string& defaultText) {
    return prompts().inputBox(prompt, title, defaultText);
}

std::string fileDialog(const FileDialogRequest& request) {
    std::string chosen = prompts().fileDialog(request);
    if (!chosen.empty()) {
        const auto cut = chosen.find_last_of("/\\");
        if (cut != std::string::npos)
            setCurrentFolder(cut == 0 ? chosen.substr(0, 1) : chosen.substr(0, cut));
    }
    return chosen;
}

} // namespace plat
