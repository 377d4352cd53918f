// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/diagnosis.h"

#include <QCoreApplication>
#include <QLibrary>

namespace quillet {

DiagnosisWindows *loadDiagnosisWindows(QWidget *mainWindow, InputsProvider inputs, QString &error)
{
    // Never unloaded: its windows live as long as the program.
    static QLibrary plugin(QCoreApplication::applicationDirPath() + QStringLiteral("/../")
        + QStringLiteral(QUILLET3_PLUGIN_DIR) + QStringLiteral("/libquillet3-diagnosis"));
    const auto make
        = reinterpret_cast<MakeDiagnosisWindows>(plugin.resolve(MakeDiagnosisWindowsSymbol));
    if (!make) {
        error = plugin.errorString();
        return nullptr;
    }
    return make(mainWindow, std::move(inputs));
}

} // namespace quillet
