// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/settings.h"

#include "core/julian_date.h"

#include <QCoreApplication>
#include <QDateTime>

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

namespace {

QString tonight()
{
    return JulianDate::eveningDate(JulianDate::now(), QDateTime::currentDateTime().offsetFromUtc());
}

} // namespace

QString nightFile(const QString &dataFolder)
{
    const QSettings settings;
    if (settings.value(key(NightEvening)).toString() == tonight()) {
        const QString chosen = settings.value(key(NightFile)).toString();
        if (!chosen.isEmpty())
            return chosen;
    }
    return dataFolder + QStringLiteral("/aavso-%1.txt").arg(tonight());
}

void chooseNightFile(const QString &path)
{
    QSettings settings;
    settings.setValue(key(NightFile), path);
    settings.setValue(key(NightEvening), tonight());
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
