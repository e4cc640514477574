#pragma once
#include <QDialog>

class QLabel;

// "Marluxについて": the program icon, the title, a notice line and an OK button.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QString TitleText() const;
    QString NoticeText() const;

private:
    QLabel* title_;
    QLabel* notice_;
};
