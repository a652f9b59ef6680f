// The open dialog's filters, and a file title beyond ASCII as the dialog returns it.
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>

#include "Dialogs.h"
#include "ScriptedWindow.h"
#include "config/ScrambledFiles.h"

namespace UpsLink::Testing {

TEST(FileDialog, AllFilesShowsStarDotStarAndMatchesNamesWithoutADot)
{
    FileFolder folder;
    folder.Write("README", "");
    const std::string chosen = folder.Write("280_B\xC3\xBCro.pp", "");
    QStringList shown;
    bool dotlessEnabled = false;
    OnModal modal([&](QWidget& widget) {
        auto& dialog = dynamic_cast<QFileDialog&>(widget);
        auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
        for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
        shown << dialog.selectedNameFilter();
        types->setCurrentIndex(0);
        emit types->activated(0);
        emit types->textActivated(types->itemText(0));
        const QFileSystemModel* files = dialog.findChild<QFileSystemModel*>();
        const auto listed = [&](const std::string& path) {
            return files->index(QString::fromStdString(path)).flags().testFlag(Qt::ItemIsEnabled);
        };
        // The folder is read, and read again for the new filter, in the background.
        for (QDeadlineTimer loading(3000); !listed(folder.Path("README")) && !loading.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        dotlessEnabled = listed(folder.Path("README"));
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromUtf8("280_B\xC3\xBCro.pp"));
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    QDir::setCurrent(QString::fromStdString(folder.Dir));
    OpenFileRequest request{"Open", "All Files (*.*)|*.*|Zentrel Files (*.pp)|*.pp", 2, "pp"};
    const std::string path = ShowOpenFileDialog(nullptr, request);
    EXPECT_EQ(shown, QStringList({"All Files (*.*)", "Zentrel Files (*.pp)", "Zentrel Files (*.pp)"}));
    EXPECT_TRUE(dotlessEnabled);
    EXPECT_EQ(path, chosen);
}

}  // namespace UpsLink::Testing
