#pragma once
#include <QApplication>

// The application object: title "Marlux", and the last line of defence that keeps any
// exception out of Qt's event loop.
class TMarluxApplication : public QApplication {
public:
    TMarluxApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
