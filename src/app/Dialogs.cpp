#include "Dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <utility>
#include <vector>

#include "common/AppTitle.h"
#include "platform/qt/FileNames.h"

namespace UpsLink {

namespace {

QString FromLatin1(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }

std::vector<std::pair<QMessageBox::StandardButton, MsgAnswer>> Buttons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel: return {{QMessageBox::Ok, MsgAnswer::Ok}, {QMessageBox::Cancel, MsgAnswer::Cancel}};
    case MsgButtons::YesNo: return {{QMessageBox::Yes, MsgAnswer::Yes}, {QMessageBox::No, MsgAnswer::No}};
    case MsgButtons::OkOnly: break;
    }
    return {{QMessageBox::Ok, MsgAnswer::Ok}};
}

// "*.*" means every file, also one without a dot in its name, as the filter shows it.
void MatchEveryFileUnderStarDotStar(QFileDialog& dialog)
{
    if (!dialog.selectedNameFilter().contains("*.*")) return;
    if (auto* files = dialog.findChild<QFileSystemModel*>()) files->setNameFilters({QStringLiteral("*")});
}

}  // namespace

MsgAnswer ShowMessageBox(QWidget* owner, const MessageRequest& request)
{
    QMessageBox box(owner);
    box.setWindowTitle(FromLatin1(request.Title.empty() ? std::string(AppTitle) : request.Title));
    box.setTextFormat(Qt::PlainText);
    box.setText(FromLatin1(request.Text));
    box.setIcon(request.Icon == MsgIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon);

    const auto buttons = Buttons(request.Buttons);
    std::vector<QPushButton*> added;
    added.reserve(buttons.size());
    for (const auto& [standard, answer] : buttons) added.push_back(box.addButton(standard));
    const std::size_t defaultIndex = std::min<std::size_t>(std::max(request.DefaultButton, 0), added.size() - 1);
    box.setDefaultButton(added[defaultIndex]);
    // Closing the box answers like its last button (Cancel, No, or the only OK).
    box.setEscapeButton(added.back());

    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (box.clickedButton() == added[i]) return buttons[i].second;
    return buttons.back().second;
}

std::string ShowOpenFileDialog(QWidget* owner, const OpenFileRequest& request)
{
    QFileDialog dialog(owner, FromLatin1(request.Title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name need not exist: opening it is what reports a missing file.
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = QtNameFilters(request.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.FilterIndex - 1]);
        MatchEveryFileUnderStarDotStar(dialog);
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog] { MatchEveryFileUnderStarDotStar(dialog); });
    }
    dialog.setDefaultSuffix(FromLatin1(request.DefaultExt));
    // Qt's own dialog, whose filters can be told that "*.*" means every file.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // HideReadOnly asks for no read-only check box, and this dialog never shows one.

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().constFirst();
    QDir::setCurrent(QFileInfo(path).absolutePath());
    return ToFileName(path);
}

QStringList QtNameFilters(const std::string& filter)
{
    const QStringList parts = FromLatin1(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The name may already show its patterns in parentheses; the pattern field is what counts.
        QString name = parts[i];
        name.remove(QRegularExpression(R"(\s*\([^()]*\)\s*$)"));
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts))
            patterns << pattern.trimmed();
        filters << name.trimmed() + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

}  // namespace UpsLink
