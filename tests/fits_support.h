// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Images written by CFITSIO for the tests: a small 16-bit image with the cards
// given as "KEY=text" or "KEY:number".
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <fitsio.h>

namespace quillet::test {

// Plain (.fits), gzip (.fits.gz) or tile-compressed (.fz: the image in the
// first extension), by the name's ending. Cards: "KEY=text" (a long one with
// CONTINUE), "KEY:number", either with "|comment" after it, or, in a plain
// file, "KEY~value" written byte for byte as it stands (UTF-8, control
// characters: what a program might write and CFITSIO would not). True when
// written.
inline bool writeFitsImage(const QString &path, const QStringList &cards)
{
    QString target = u'!' + path;
    if (path.endsWith(QLatin1String(".fz")))
        target += QStringLiteral("[compress]");
    fitsfile *f = nullptr;
    int status = 0;
    long axes[2] = {8, 8};
    short pixels[64] = {};
    fits_create_file(&f, QFile::encodeName(target).constData(), &status);
    fits_create_img(f, SHORT_IMG, 2, axes, &status);
    for (const QString &card : cards) {
        const qsizetype at = card.indexOf(QRegularExpression(QStringLiteral("[=:~]")));
        const QByteArray key = card.left(at).toLatin1();
        const QByteArray value = card.mid(at + 1).section(u'|', 0, 0).toUtf8();
        const QByteArray comment = card.mid(at + 1).section(u'|', 1).toUtf8();
        const char *note = comment.isEmpty() ? nullptr : comment.constData();
        if (card[at] == u'~') {
            // A placeholder for now, the bytes once the file is written.
            fits_update_key_str(f, key.constData(), "RAW", nullptr, &status);
        } else if (card[at] == u'=' && value.size() > 68) {
            fits_update_key_longstr(f, key.constData(), value.constData(), note, &status);
        } else if (card[at] == u'=') {
            fits_update_key_str(f, key.constData(), value.constData(), note, &status);
        } else {
            double number = value.toDouble();
            fits_update_key_dbl(f, key.constData(), number, -15, note, &status);
        }
    }
    fits_write_img(f, TSHORT, 1, 64, pixels, &status);
    fits_close_file(f, &status);
    if (status != 0)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    for (const QString &card : cards) {
        const qsizetype at = card.indexOf(QRegularExpression(QStringLiteral("[=:~]")));
        if (card[at] != u'~')
            continue;
        const QByteArray key = card.left(at).toLatin1().leftJustified(8, ' ');
        const qsizetype place = bytes.indexOf(key + "= 'RAW");
        if (place < 0 || place % 80 != 0)
            return false;
        bytes.replace(
            place, 80, (key + "= " + card.mid(at + 1).toUtf8()).leftJustified(80, ' ', true));
    }
    return file.seek(0) && file.write(bytes) == bytes.size();
}

} // namespace quillet::test
