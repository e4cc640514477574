#pragma once
#include <QTimer>
#include <QWidget>

// A sheet of paper flying from one folder to the other, over and over, while the widget is
// shown: the progress window's sign that a copy is under way.
class TCopyAnimation : public QWidget {
public:
    explicit TCopyAnimation(QWidget* parent = nullptr);

    // The frame on show, 0 to FrameCount - 1.
    int Frame() const { return frame_; }
    bool Running() const { return timer_.isActive(); }
    static constexpr int FrameCount = 24;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void NextFrame();

    QTimer timer_;
    int frame_ = 0;
};
