#pragma once

#include <QApplication>

// The application object; its notify is the one place where a failed file operation
// is reported, so the program goes on running after it.
class TavoApplication : public QApplication
{
    Q_OBJECT
public:
    TavoApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
