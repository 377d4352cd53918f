// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The diagnosis plugin's root object (see ui/diagnosis_interface.h).
#include "ui/diagnosis_windows.h"

#include <QObject>

namespace quillet {

class DiagnosisPluginImpl final : public QObject, public DiagnosisPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QUILLET3_DIAGNOSIS_IID)
    Q_INTERFACES(quillet::DiagnosisPlugin)

public:
    DiagnosisWindows *create(QWidget *mainWindow, InputsProvider inputs) override
    {
        return new DiagnosisWindowsImpl(mainWindow, std::move(inputs));
    }
};

} // namespace quillet

#include "diagnosis_plugin.moc"
