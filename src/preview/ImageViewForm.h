#pragma once
#include <QWidget>

class QLabel;

// The preview window: borderless, beside the main window, one picture control Image1 at its
// natural size. It never takes the keyboard focus, and its hint reaches the main window's
// status bar.
class TImageViewForm : public QWidget {
public:
    static constexpr int InitialClientWidth = 219;
    static constexpr int InitialClientHeight = 163;

    explicit TImageViewForm(QWidget* mainWindow);

    QLabel* Image1() const { return image1_; }
    // "高さ:<height> 幅:<width>", as tooltip and status bar text.
    void SetSizeHint(int height, int width);

protected:
    bool event(QEvent* event) override;

private:
    QLabel* image1_;
};
