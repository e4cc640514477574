#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The small name input dialog: a title, two labels set by the caller and one edit box.
// One instance serves every row of a command.
class TFileDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFileDlg(QWidget* owner);

    QLabel* CurrentName() const { return currentName_; }
    QLabel* NewName() const { return newName_; }
    QLineEdit* NewEdit() const { return newEdit_; }
    QPushButton* OkBtn() const { return okBtn_; }
    QPushButton* CancelBtn() const { return cancelBtn_; }

    // Sets the title and the three texts for the next showing.
    void Prepare(const QString& title, const QString& currentName, const QString& newName, const QString& newText);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* currentName_;
    QLabel* newName_;
    QLineEdit* newEdit_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;
};
