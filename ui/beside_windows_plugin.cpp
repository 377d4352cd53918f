// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The root object of the plugin that holds the windows beside the main
// window (see ui/beside_windows.h).
#include "ui/beside_windows_hub.h"

#include <QObject>

namespace quillet {

class BesideWindowsPluginImpl final : public QObject, public BesideWindowsPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QUILLET3_BESIDE_WINDOWS_IID)
    Q_INTERFACES(quillet::BesideWindowsPlugin)

public:
    BesideWindows *create(
        QWidget *mainWindow, InputsProvider inputs, TableWriter writeTable) override
    {
        return new BesideWindowsHub(mainWindow, std::move(inputs), nullptr, std::move(writeTable));
    }
};

} // namespace quillet

#include "beside_windows_plugin.moc"
