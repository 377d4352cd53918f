// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/shutdown_signals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace quillet {

namespace {

constexpr std::array<int, 3> Handled = {SIGTERM, SIGHUP, SIGINT};

// The write end for the handler; a signal handler can reach nothing else.
int g_writeEnd = -1;
int g_readEnd = -1;
// What each signal did before, to be restored; unset where it was left alone.
std::array<std::optional<struct sigaction>, Handled.size()> g_previous;

void onSignal(int signalNumber)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe drops the byte: a request is already waiting.
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &byte, 1);
    errno = saved;
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject *parent)
    : QObject(parent)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0)
        return; // without the pipe the signals keep their default action
    g_readEnd = ends[0];
    g_writeEnd = ends[1];
    m_notifier = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::readPending);

    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < Handled.size(); ++i) {
        struct sigaction previous
        {
        };
        // A signal the shell asked to ignore (nohup, a background job) stays ignored.
        if (::sigaction(Handled[i], nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        if (::sigaction(Handled[i], &action, nullptr) == 0)
            g_previous[i] = previous;
    }
}

ShutdownSignals::~ShutdownSignals()
{
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < Handled.size(); ++i) {
        if (g_previous[i])
            ::sigaction(Handled[i], &*g_previous[i], nullptr);
        g_previous[i].reset();
    }
    ::close(g_readEnd);
    ::close(g_writeEnd);
    g_readEnd = g_writeEnd = -1;
}

void ShutdownSignals::readPending()
{
    unsigned char byte = 0;
    while (::read(g_readEnd, &byte, 1) == 1)
        Q_EMIT requested(byte);
}

} // namespace quillet
