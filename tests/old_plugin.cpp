// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A diagnosis plugin of an older interface version: the program must refuse
// it by its description, without running it.
#include <QObject>
#include <QtPlugin>

class OldDiagnosisPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "invalid.quillet3.BesideWindowsPlugin/0")
};

#include "old_plugin.moc"
