// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace quillet {

// SIGTERM, SIGHUP (the terminal closed) and SIGINT (Ctrl+C) as a request to close,
// delivered on the event loop: the handler only writes the signal's number into a
// pipe, and a socket notifier reads it there (no Qt call inside a signal handler).
// A signal inherited as ignored (nohup, a job started with SIGINT ignored) is
// left alone; at the end each signal gets back the action it had. One instance
// at a time.
class ShutdownSignals final : public QObject
{
    Q_OBJECT

public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;

Q_SIGNALS:
    void requested(int signalNumber);

private:
    void readPending();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace quillet
