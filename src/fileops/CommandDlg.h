#pragma once
#include <QDialog>
#include <QStringList>

#include <exception>
#include <functional>

template <class Result>
class TTask;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The command dialog: SITE commands, CHMOD by default, one per selected remote row. The
// preview follows every choice and keystroke and may be edited freely before it is sent.
class TCommandDlg : public QDialog {
    Q_OBJECT
public:
    struct Sources {
        // The captions of the selected remote rows in list order.
        QStringList selectedNames;
        // Sends one command line through SITE and logs it; raises when the server refuses.
        std::function<TTask<void>(QString line)> sendLine;
        // aRemoteRefreshExecute, after the last line.
        std::function<void()> remoteRefresh;
    };

    TCommandDlg(QWidget* owner, Sources sources);

    QGroupBox* rgChmodOption() const { return rgChmodOption_; }
    QRadioButton* ChmodOptionItem(int index) const;
    int ItemIndex() const;
    QLineEdit* edChmod() const { return edChmod_; }
    QLineEdit* edCommand() const { return edCommand_; }
    QPlainTextEdit* reCommand() const { return reCommand_; }
    QPushButton* OkBtn() const { return okBtn_; }
    QPushButton* CancelBtn() const { return cancelBtn_; }

    // The command prefix for the choices made, then one preview line per selected row (the
    // prefix alone without a selection).
    void rgChmodOptionClick();
    // Sends each trimmed non-empty preview line, re-lists the remote pane and closes with OK.
    // A failure closes the dialog at once, keeping the error for Failure().
    void OkBtnClick();
    // The error that ended the sending, if any.
    std::exception_ptr Failure() const { return failure_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString CommandPrefix() const;
    TTask<void> SendLines();

    Sources sources_;
    QLabel* label3_;
    QGroupBox* rgChmodOption_;
    QButtonGroup* chmodOptions_;
    QLineEdit* edChmod_;
    QLabel* label2_;
    QLineEdit* edCommand_;
    QLabel* label1_;
    QPlainTextEdit* reCommand_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;
    std::exception_ptr failure_;
};
