// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/settings.h"

#include <QCoreApplication>

namespace quillet::settings {

void useProgramFile()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Quillet3"));
    QCoreApplication::setApplicationName(QStringLiteral("quillet3"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
}

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

QString fieldKey(const QString &field, const char *name)
{
    if (field.isEmpty())
        return key(name);
    // "report/star" becomes "fields/<field>/star".
    return QStringLiteral("fields/%1/%2").arg(field, QLatin1String(name).mid(7));
}

QString store(QSettings &settings)
{
    static bool said = false;
    settings.sync();
    if (settings.status() == QSettings::NoError || said)
        return {};
    said = true;
    return QStringLiteral("設定を保存できませんでした\r%1 に書き込めません（フォルダなど、通常の"
                          "ファイルではないか、書き込む権限がありません）")
        .arg(settings.fileName());
}

} // namespace quillet::settings
