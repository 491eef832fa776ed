#pragma once

#include <QApplication>

// The application object. Its notify() is the one guard around every user action: a
// silent abort ends the action without a word, any other exception is shown in the
// default error box and the program goes on. No exception crosses into Qt unguarded.
class NiloApplication final : public QApplication
{
    Q_OBJECT
public:
    NiloApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
