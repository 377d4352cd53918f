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
// first extension), by the name's ending. True when written.
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
        const qsizetype at = card.indexOf(QRegularExpression(QStringLiteral("[=:]")));
        const QByteArray key = card.left(at).toLatin1();
        const QByteArray value = card.mid(at + 1).toUtf8();
        if (card[at] == u'=') {
            fits_update_key_str(f, key.constData(), value.constData(), nullptr, &status);
        } else {
            double number = value.toDouble();
            fits_update_key_dbl(f, key.constData(), number, -15, nullptr, &status);
        }
    }
    fits_write_img(f, TSHORT, 1, 64, pixels, &status);
    fits_close_file(f, &status);
    return status == 0;
}

} // namespace quillet::test
