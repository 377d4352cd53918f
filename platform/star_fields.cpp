// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/star_fields.h"

#include "core/comparison_data_file.h"
#include "platform/file_layer.h"

#include <QDir>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::StarFields {

namespace {

Listed listed(const QString &name, const QString &path)
{
    Listed field {name, path, 0, std::nullopt};
    const FileState::Read read
        = FileLayer::readFile(tablePath(path), ComparisonDataFile::ReadLimit);
    if (read.snapshot.exists && read.snapshot.regular) {
        field.savedMs = read.snapshot.modifiedNs / 1000000;
        const QStringList texts = ComparisonDataFile::loaded(read).tableTexts;
        for (int k = 0; k < texts.size(); k += 2)
            field.stars += !texts[k].isEmpty();
    }
    return field;
}

} // namespace

QString dataFolder()
{
    const QString home = qEnvironmentVariable("QUILLET3_HOME");
    return QDir::cleanPath(
        QDir(QDir::homePath())
            .absoluteFilePath(home.isEmpty() ? QStringLiteral("Quillet3") : home));
}

QString fieldFolder(const QString &data, const QString &name)
{
    // As the folder is named: a name made by hand with a blank before it too.
    return data + u'/' + name;
}

QString tablePath(const QString &folder)
{
    return folder + u'/' + QLatin1String(ComparisonDataFile::FileName);
}

QList<Listed> list(const QString &data)
{
    QList<Listed> fields {listed({}, data)};
    const QStringList names
        = QDir(data).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::LocaleAware);
    for (const QString &name : names) {
        if (!StarField::nameProblem(name))
            fields.append(listed(name, fieldFolder(data, name)));
    }
    return fields;
}

Made make(const QString &data, const QString &typed)
{
    Made made;
    made.path = fieldFolder(data, typed.trimmed());
    QDir().mkpath(data); // the first field of a data folder not yet made
    if (::mkdir(FileLayer::encodeName(made.path).constData(), 0777) != 0) {
        made.exists = errno == EEXIST;
        struct stat status
        {
        };
        made.isFolder = made.exists
            && ::stat(FileLayer::encodeName(made.path).constData(), &status) == 0
            && S_ISDIR(status.st_mode);
        made.failure = FileLayer::failureFor(errno, made.path);
    }
    return made;
}

std::optional<FileState::Failure> enter(const QString &folder)
{
    // A folder that is not there is named itself, not its parent.
    if (::chdir(FileLayer::encodeName(folder).constData()) != 0)
        return FileLayer::failureFor(errno, folder + QStringLiteral("/."));
    qputenv("PWD", FileLayer::encodeName(folder));
    return std::nullopt;
}

std::optional<FileState::Failure> enterForDesktop(const QString &lastField)
{
    const QString data = dataFolder();
    if (!QDir().mkpath(data))
        return FileLayer::failureFor(errno, data);
    if (!lastField.isEmpty() && !StarField::nameProblem(lastField)) {
        const QString field = fieldFolder(data, lastField);
        struct stat status
        {
        };
        if (::stat(FileLayer::encodeName(field).constData(), &status) == 0
            && S_ISDIR(status.st_mode) && !enter(field))
            return std::nullopt;
    }
    return enter(data);
}

} // namespace quillet::StarFields
