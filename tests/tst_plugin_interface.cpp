// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The plugin's interface and its version move together: the header of every
// version that was built is recorded with its IID, and a header that changed
// without a new IID fails here, before a plugin built against the old one is
// called through the wrong table.
#include "test_support.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTest>

using namespace quillet::test;

namespace {

// The header's code: comments, blank space and the IID's own line aside, so
// that only a change the compiler sees counts.
QByteArray code(const QByteArray &header)
{
    QString text = QString::fromUtf8(header);
    text.remove(QRegularExpression(QStringLiteral("//[^\n]*")));
    text.remove(QRegularExpression(
        QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    text.remove(QRegularExpression(QStringLiteral("#define QUILLET3_BESIDE_WINDOWS_IID[^\n]*")));
    text.remove(QRegularExpression(QStringLiteral("\\s+")));
    return text.toUtf8();
}

} // namespace

class TestPluginInterface : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionFollowsTheInterface();
};

void TestPluginInterface::versionFollowsTheInterface()
{
    const QString source = qEnvironmentVariable("QUILLET3_SOURCE_DIR");
    QVERIFY(!source.isEmpty());
    const QByteArray header = readFile(source + QStringLiteral("/ui/beside_windows.h"));
    const QRegularExpressionMatch iid
        = QRegularExpression(QStringLiteral("#define QUILLET3_BESIDE_WINDOWS_IID \"([^\"]+)\""))
              .match(QString::fromUtf8(header));
    QVERIFY(iid.hasMatch());
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(code(header), QCryptographicHash::Sha256).toHex());
    QMap<QString, QString> recorded;
    for (const QByteArray &line :
        readFile(source + QStringLiteral("/tests/plugin_interfaces.txt")).split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() == 2 && !line.startsWith('#'))
            recorded.insert(QString::fromUtf8(parts[0]), QString::fromLatin1(parts[1]));
    }
    QVERIFY2(recorded.contains(iid.captured(1)),
        qPrintable(QStringLiteral("record %1 %2 in tests/plugin_interfaces.txt")
                       .arg(iid.captured(1), hash)));
    QVERIFY2(recorded.value(iid.captured(1)) == hash,
        qPrintable(QStringLiteral("ui/beside_windows.h changed without a new IID: give it "
                                  "another version than %1, and record it with %2")
                       .arg(iid.captured(1), hash)));
}

QTEST_GUILESS_MAIN(TestPluginInterface)
#include "tst_plugin_interface.moc"
