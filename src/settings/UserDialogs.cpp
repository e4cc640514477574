#include "UserDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

void TDesktopDialogs::ShowMessage(const QString& text)
{
    QMessageBox::information(parent_, QApplication::applicationDisplayName(), text);
}

TUserDialogs::Answer TDesktopDialogs::Ask(const QString& text, Buttons buttons, Icon icon)
{
    QMessageBox::StandardButtons offered;
    switch (buttons) {
    case Buttons::Ok: offered = QMessageBox::Ok; break;
    case Buttons::OkCancel: offered = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: offered = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: offered = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    const QMessageBox::Icon shown = icon == Icon::Stop          ? QMessageBox::Critical
                                    : icon == Icon::Exclamation ? QMessageBox::Warning
                                                                : QMessageBox::Question;
    QMessageBox box(shown, QApplication::applicationDisplayName(), text, offered, parent_);
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

int TDesktopDialogs::RunModal(QDialog& dialog)
{
    return dialog.exec();
}

QString TDesktopDialogs::BrowseForFolder(const QString& instruction)
{
    // Rooted at "/", where every mounted volume is reachable; only folders can be picked.
    const QString chosen = QFileDialog::getExistingDirectory(parent_, instruction, QDir::rootPath(),
                                                             QFileDialog::ShowDirsOnly);
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen);
}

QColor TDesktopDialogs::ChooseColor(const QColor& initial)
{
    return QColorDialog::getColor(initial, parent_);
}

QString TDesktopDialogs::ChooseFileToOpen(const QStringList& filters, int selectedFilter, const QString& directory)
{
    // "*.*" means every file, but Qt's pattern wants a dot; "*" is every file here.
    QStringList shown = filters;
    shown.replaceInStrings(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
    QString selected = shown.value(selectedFilter);
    const QString chosen =
        QFileDialog::getOpenFileName(parent_, QString(), directory, shown.join(QStringLiteral(";;")), &selected);
    return QDir::toNativeSeparators(chosen);
}
