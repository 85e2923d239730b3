// SIGTERM, SIGINT and SIGHUP delivered as a Qt signal on the user-interface thread.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace tromel {

// While one exists, the first of the three signals no longer ends the program at once: the
// handler only writes the signal's number into a pipe (all a handler may safely do), and the event
// loop reads it and emits received(). The handler puts the default actions back, so a second
// signal ends the program even when its event loop no longer runs. One instance at a time; the
// default actions come back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signal);

private:
    static void handle(int signal);
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace tromel
