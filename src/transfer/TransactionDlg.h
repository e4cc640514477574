#pragma once
#include <QDialog>

#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class TCopyAnimation;

// The progress window: what is being done, to which file, bytes and speed, a bar, and the
// buttons to abort the transfer or close the window. Closing only hides it; the transfer goes on.
class TTransactionDlg : public QDialog {
public:
    // owner: the main window, which the dialog is centred on; abortBtnClick runs for AbortBtn.
    TTransactionDlg(QWidget* owner, std::function<void()> abortBtnClick);

    void SetTexts(const QString& status, const QString& file, const QString& bytes);
    // The byte line of every work report: the label takes the latest when events are next
    // processed, so a report costs no label update of its own.
    void SetBytesText(const QString& bytes);
    // Byte counts of any size: the bar works in a scale that fits its int range.
    void SetBarMaximum(std::int64_t maximum);
    void SetBarPosition(std::int64_t position);
    // True once the window has been shown; a shown window that is hidden again was closed.
    bool ShownOnce() const { return shownOnce_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* AddLabel(const char* name, const QString& text, const QString& accessibleName, int x, int y, int width);

    TCopyAnimation* Animate1;
    QLabel* lbStatus;
    QLabel* lbFile;
    QLabel* lbByte;
    QProgressBar* ProgressBar1;
    QPushButton* AbortBtn;
    QPushButton* CloseBtn;
    // Bytes per bar step are 2 to this power.
    int barShift_ = 0;
    // The smallest move of the bar shown, in bar units.
    int barStep_ = 1;
    bool shownOnce_ = false;
    QString pendingBytes_;
    bool bytesPending_ = false;
};
