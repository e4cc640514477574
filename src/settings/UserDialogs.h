#pragma once
#include <QColor>
#include <QString>
#include <QStringList>

#include <memory>

class QDialog;
class QWidget;

// Every message box, question and modal dialog of the program goes through this interface,
// owned by the main window. The desktop implementation shows real boxes titled with the
// application title; tests install one that answers from a script and records what was shown.
class TUserDialogs {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };
    enum class Icon { Question, Exclamation, Stop };

    virtual ~TUserDialogs() = default;

    // A notice with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // A question; the answer is one of the buttons offered (Cancel when the box is closed).
    virtual Answer Ask(const QString& text, Buttons buttons, Icon icon = Icon::Question) = 0;
    // Runs a modal dialog and returns its QDialog result code.
    virtual int RunModal(QDialog& dialog) = 0;
    // The folder browser with an instruction text: the chosen folder's full path, or an empty
    // text when the user cancels.
    virtual QString BrowseForFolder(const QString& instruction) = 0;
    // The colour dialog preset to a colour: the chosen colour, or an invalid one when cancelled.
    virtual QColor ChooseColor(const QColor& initial) = 0;
    // The file-open dialog with name filters ("text (patterns)"), the one at selectedFilter
    // chosen at first, opened in a directory (empty: the working directory): the chosen file's
    // path, or an empty text when the user cancels.
    virtual QString ChooseFileToOpen(const QStringList& filters, int selectedFilter, const QString& directory) = 0;
};

// The desktop implementation: QMessageBox titled with the application's display name.
class TDesktopDialogs : public TUserDialogs {
public:
    explicit TDesktopDialogs(QWidget* parent) : parent_(parent) {}
    void ShowMessage(const QString& text) override;
    Answer Ask(const QString& text, Buttons buttons, Icon icon = Icon::Question) override;
    int RunModal(QDialog& dialog) override;
    QString BrowseForFolder(const QString& instruction) override;
    QColor ChooseColor(const QColor& initial) override;
    QString ChooseFileToOpen(const QStringList& filters, int selectedFilter, const QString& directory) override;

private:
    QWidget* parent_;
};

// The dialogs as the subsystems hold them: one reference for the whole run that forwards to
// the implementation in force, which tests replace after the window is built.
class TDialogsInForce : public TUserDialogs {
public:
    explicit TDialogsInForce(std::unique_ptr<TUserDialogs> implementation) : inForce_(std::move(implementation)) {}
    void Replace(std::unique_ptr<TUserDialogs> implementation) { inForce_ = std::move(implementation); }

    void ShowMessage(const QString& text) override { inForce_->ShowMessage(text); }
    Answer Ask(const QString& text, Buttons buttons, Icon icon = Icon::Question) override
    {
        return inForce_->Ask(text, buttons, icon);
    }
    int RunModal(QDialog& dialog) override { return inForce_->RunModal(dialog); }
    QString BrowseForFolder(const QString& instruction) override { return inForce_->BrowseForFolder(instruction); }
    QColor ChooseColor(const QColor& initial) override { return inForce_->ChooseColor(initial); }
    QString ChooseFileToOpen(const QStringList& filters, int selectedFilter, const QString& directory) override
    {
        return inForce_->ChooseFileToOpen(filters, selectedFilter, directory);
    }

private:
    std::unique_ptr<TUserDialogs> inForce_;
};
