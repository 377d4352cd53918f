// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The diagnosis plugin's one entry point (see ui/diagnosis.h).
#include "ui/diagnosis_windows.h"

extern "C" Q_DECL_EXPORT quillet::DiagnosisWindows *quillet3MakeDiagnosisWindows(
    QWidget *mainWindow, quillet::InputsProvider inputs)
{
    return new quillet::DiagnosisWindowsImpl(mainWindow, std::move(inputs));
}
