// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/beside_windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QPluginLoader>

#include <map>
#include <memory>

namespace quillet {

QString besideWindowsPluginPath()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../")
        + QStringLiteral(QUILLET3_PLUGIN_DIR) + QStringLiteral("/libquillet3-windows.so"));
}

BesideWindows *loadBesideWindows(const QString &path, QWidget *mainWindow, InputsProvider inputs,
    TableWriter writeTable, QString &error)
{
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("%1 がありません").arg(path);
        return nullptr;
    }
    // Never unloaded: their windows live as long as the program.
    static std::map<QString, std::unique_ptr<QPluginLoader>> loaders;
    std::unique_ptr<QPluginLoader> &loader = loaders[path];
    if (!loader)
        loader = std::make_unique<QPluginLoader>(path);
    // Qt reads the plugin's description from the file without loading it: a
    // truncated or foreign file goes no further.
    const QString iid = loader->metaData().value(QLatin1String("IID")).toString();
    if (iid.isEmpty()) {
        loader->load(); // for Qt's own reason
        error = QStringLiteral("%1 を読み込めませんでした（%2）").arg(path, loader->errorString());
        return nullptr;
    }
    if (iid != QLatin1String(QUILLET3_BESIDE_WINDOWS_IID)) {
        error = QStringLiteral("%1 はこの Quillet3 のプラグインではありません（%2、必要なのは %3）")
                    .arg(path, iid, QLatin1String(QUILLET3_BESIDE_WINDOWS_IID));
        return nullptr;
    }
    auto *plugin = qobject_cast<BesideWindowsPlugin *>(loader->instance());
    if (!plugin) {
        error = QStringLiteral("%1 を読み込めませんでした（%2）").arg(path, loader->errorString());
        return nullptr;
    }
    BesideWindows *windows = plugin->create(mainWindow, std::move(inputs), std::move(writeTable));
    if (!windows)
        error = QStringLiteral("%1 が窓を作れませんでした").arg(path);
    return windows;
}

} // namespace quillet
