// The file dialogs draw their lists without reading any file: a folder whose files never return
// from a read (/proc, remembered in Qt's dialog history or typed) must not hang them.
#include "file_support.h"
#include "platform/prompts.h"

#include <gtest/gtest.h>

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// A file whose first bytes are those of a PNG picture: a list that looked into the files would
// call it one.
TEST(FileDialog, TheListGoesByNameAndKindNotByContents) {
    QTemporaryDir tmp;
    const QString picture = tmp.filePath("stock.bio");
    plattest::spit(picture.toStdString(), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    plat::PromptService* installed = plat::installedPromptService();
    plat::setPromptService(nullptr);
    QString listed;
    QTimer::singleShot(1000, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        if (auto* model = dialog->findChild<QFileSystemModel*>())
            listed = model->type(model->index(picture));
        dialog->close();
    });
    plat::FileDialogRequest request;
    request.title = "Load biological data";
    request.filter = "BioDat input file (*.bio)|*.bio";
    request.initialDir = tmp.path().toStdString();
    EXPECT_EQ(plat::prompts().fileDialog(request), "");
    plat::setPromptService(installed);
    EXPECT_EQ(listed, "bio File");
}

// Without an icon theme the platform has no icons to give: a null icon makes the dialog warn as
// it draws its list, so the dialogs draw the style's own.
TEST(FileDialog, EveryIconIsAPicture) {
    const QAbstractFileIconProvider& icons = plat::fileDialogIconProvider();
    for (const auto type : {QAbstractFileIconProvider::Computer, QAbstractFileIconProvider::Desktop,
                            QAbstractFileIconProvider::Trashcan, QAbstractFileIconProvider::Network,
                            QAbstractFileIconProvider::Drive, QAbstractFileIconProvider::Folder,
                            QAbstractFileIconProvider::File})
        EXPECT_FALSE(icons.icon(type).isNull()) << type;
    QTemporaryDir tmp;
    plattest::spit(tmp.filePath("a.bio").toStdString(), "1\r\n");
    for (const QString& name : {tmp.path(), tmp.filePath("a.bio"), QStringLiteral("/")})
        EXPECT_FALSE(icons.icon(QFileInfo(name)).isNull()) << name.toStdString();
}

} // namespace
