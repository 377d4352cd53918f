// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/image_info.h"

#include "core/julian_date.h"
#include "platform/file_layer.h"
#include "report/messages.h"
#include "report/report_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <cerrno>
#include <cmath>
#include <erfa.h>
#include <erfam.h>
#include <fcntl.h>
#include <fitsio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace quillet::ImageInfo {

namespace {

using ImageTime::Card;
using ImageTime::Cards;

constexpr qsizetype BlockSize = 2880;
constexpr qsizetype CardSize = 80;

// A card's value text in a raw header: after "= " up to a comment's "/"
// outside quotes, blanks around it dropped.
std::optional<QByteArray> rawValue(const QByteArray &header, const QByteArray &keyword)
{
    const QByteArray padded = keyword.leftJustified(8, ' ') + "= ";
    for (qsizetype at = 0; at + CardSize <= header.size(); at += CardSize) {
        const QByteArray card = header.mid(at, CardSize);
        if (!card.startsWith(padded))
            continue;
        QByteArray value = card.mid(10);
        bool quoted = false;
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (value[i] == '\'')
                quoted = !quoted;
            else if (value[i] == '/' && !quoted)
                return value.left(i).trimmed();
        }
        return value.trimmed();
    }
    return std::nullopt;
}

std::optional<long long> rawInteger(const QByteArray &header, const QByteArray &keyword)
{
    bool ok = false;
    const long long number = rawValue(header, keyword).value_or(QByteArray()).toLongLong(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

// Reads one header, block by block, up to its END card.
QString readHeaderBlocks(gzFile file, QByteArray &bytes, qsizetype &total)
{
    for (;;) {
        if (total + BlockSize > HeaderLimit)
            return QStringLiteral("ヘッダーが %1 MiB を超えても終わりません")
                .arg(HeaderLimit >> 20);
        char block[BlockSize];
        const int got = gzread(file, block, unsigned(BlockSize));
        if (got < 0)
            return QStringLiteral("圧縮されたデータが壊れています");
        if (got < BlockSize)
            return QStringLiteral("ヘッダーが途中で終わっています");
        total += BlockSize;
        bytes.append(block, BlockSize);
        for (qsizetype at = 0; at < BlockSize; at += CardSize) {
            const QByteArrayView card(block + at, CardSize);
            if (card.startsWith("END") && card.sliced(3).trimmed().isEmpty())
                return {};
        }
    }
}

// Why the keywords of a tile-compressed image cannot describe one (CFITSIO
// would divide by a tile size of 0), or nothing.
QString compressionProblem(const QByteArray &extension)
{
    if (rawValue(extension, "ZIMAGE") != QByteArray("T"))
        return {};
    const auto axes = rawInteger(extension, "ZNAXIS");
    if (!axes || *axes < 1 || *axes > 999)
        return QStringLiteral("ZNAXIS = %1")
            .arg(QString::fromLatin1(rawValue(extension, "ZNAXIS").value_or("（なし）")));
    const auto bits = rawInteger(extension, "ZBITPIX");
    if (!bits
        || (*bits != 8 && *bits != 16 && *bits != 32 && *bits != 64 && *bits != -32
            && *bits != -64))
        return QStringLiteral("ZBITPIX = %1")
            .arg(QString::fromLatin1(rawValue(extension, "ZBITPIX").value_or("（なし）")));
    for (long long n = 1; n <= *axes; ++n) {
        for (const char *name : {"ZNAXIS", "ZTILE"}) {
            const QByteArray keyword = name + QByteArray::number(n);
            const auto raw = rawValue(extension, keyword);
            if (!raw && QByteArray(name) == "ZTILE")
                continue; // a tile size may be left to its default
            const auto size = rawInteger(extension, keyword);
            if (!size || *size < 1)
                return QStringLiteral("%1 = %2").arg(
                    QString::fromLatin1(keyword), QString::fromLatin1(raw.value_or("（なし）")));
        }
    }
    return {};
}

// What the time needs of the file at path: its primary header, and the first
// extension's header when the primary holds no image. Read block by block,
// through gzip where the file is compressed so, and never more than
// HeaderLimit bytes of it: an image's data, or a bomb of zeros, is not read.
struct Headers
{
    QByteArray bytes;
    QString problem;
};

Headers headersOf(const QString &path)
{
    Headers headers;
    const int fd = ::open(
        FileLayer::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status
    {
    };
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        headers.problem = errno == ENOENT
            ? QStringLiteral("ファイルがありません")
            : messages::fileProblem(FileLayer::failureFor(errno, path), path);
        if (fd >= 0)
            ::close(fd);
        return headers;
    }
    // Only a regular file is read: a pipe would block, a device is never read.
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        headers.problem = S_ISDIR(status.st_mode) ? QStringLiteral("フォルダです")
                                                  : QStringLiteral("通常のファイルではありません");
        return headers;
    }
    const gzFile file = gzdopen(fd, "rb"); // a file that is not gzip is read as it is
    if (!file) {
        ::close(fd);
        headers.problem = QStringLiteral("読めません");
        return headers;
    }
    qsizetype total = 0;
    headers.problem = readHeaderBlocks(file, headers.bytes, total);
    if (headers.problem.isEmpty() && rawValue(headers.bytes, "SIMPLE") != QByteArray("T"))
        headers.problem = QStringLiteral("FITS の SIMPLE = T で始まっていません");
    const auto axes = rawInteger(headers.bytes, "NAXIS");
    bool image = axes && *axes > 0;
    for (long long n = 1; image && n <= *axes; ++n)
        image = rawInteger(headers.bytes, "NAXIS" + QByteArray::number(n)).value_or(0) > 0;
    if (headers.problem.isEmpty() && !image) {
        // No data follows a primary without an image: the next header is here.
        QByteArray extension;
        const qsizetype before = total;
        const QString problem = readHeaderBlocks(file, extension, total);
        if (total > before && problem.isEmpty() && extension.startsWith("XTENSION")) {
            headers.problem = compressionProblem(extension);
            if (!headers.problem.isEmpty())
                headers.problem = QStringLiteral("圧縮画像のキーワードが正しくありません（%1）")
                                      .arg(headers.problem);
            headers.bytes += extension;
        }
    }
    gzclose(file);
    return headers;
}

// A card's value: a string without its quotes (a doubled quote is one) and
// trailing blanks, as UTF-8 where it is that, else as Latin-1; anything else
// as written.
QString cardValue(const char *raw)
{
    const QByteArray bytes = QByteArray(raw).trimmed();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString value = utf8(bytes);
    if (utf8.hasError())
        value = QString::fromLatin1(bytes);
    if (!value.startsWith(u'\'') || value.size() < 2)
        return value;
    QString text = value.mid(1, value.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

// The cards of the header the file is at, long strings (CONTINUE) whole.
void readCards(fitsfile *file, Cards &cards, int &status)
{
    int count = 0;
    if (fits_get_hdrspace(file, &count, nullptr, &status))
        return;
    for (int i = 1; i <= count; ++i) {
        char name[FLEN_KEYWORD] = {};
        char value[FLEN_VALUE] = {};
        char comment[FLEN_COMMENT] = {};
        if (fits_read_keyn(file, i, name, value, comment, &status))
            return;
        const QString keyword = QString::fromLatin1(name).trimmed().toUpper();
        if (keyword.isEmpty() || value[0] == '\0')
            continue;
        Card card {cardValue(value), QString::fromLatin1(comment)};
        if (value[0] == '\'' && card.value.endsWith(u'&')) {
            char *whole = nullptr;
            int longStatus = 0;
            if (fits_read_key_longstr(file, name, &whole, nullptr, &longStatus) == 0 && whole) {
                card.value = cardValue((QByteArray("'") + whole + "'").constData());
                fits_free_memory(whole, &longStatus);
            }
        }
        cards.insert(keyword, card);
    }
}

QString cfitsioText(int status)
{
    char text[FLEN_STATUS] = {};
    fits_get_errstatus(status, text);
    return QString::fromLatin1(text);
}

// The primary header's cards, and over them those of the first image
// extension when the primary holds no image (a tile-compressed file, say).
QString readHeader(const QString &path, Cards &cards)
{
    Headers headers = headersOf(path);
    if (!headers.problem.isEmpty())
        return messages::notFits(path, headers.problem);
    // CFITSIO reads the cards from the headers alone.
    void *memory = headers.bytes.data();
    std::size_t size = std::size_t(headers.bytes.size());
    fitsfile *file = nullptr;
    int status = 0;
    if (fits_open_memfile(&file, "header", READONLY, &memory, &size, 0, nullptr, &status))
        return messages::notFits(path, cfitsioText(status));
    readCards(file, cards, status);
    int dimensions = 0;
    fits_get_img_dim(file, &dimensions, &status);
    int hdus = 0;
    fits_get_num_hdus(file, &hdus, &status);
    if (status == 0 && dimensions == 0 && hdus > 1) {
        int type = 0;
        if (fits_movabs_hdu(file, 2, &type, &status) == 0 && type == IMAGE_HDU
            && fits_get_img_dim(file, &dimensions, &status) == 0 && dimensions > 0)
            readCards(file, cards, status);
    }
    const QString problem = status == 0 ? QString() : messages::notFits(path, cfitsioText(status));
    int closing = 0;
    fits_close_file(file, &closing);
    return problem;
}

QJsonValue orNull(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue orNull(const std::optional<QString> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

} // namespace

std::optional<double> utcOf(double jd, ImageTime::TimeScale scale)
{
    if (scale == ImageTime::TimeScale::Utc)
        return jd;
    // In two parts, so that no precision is lost: the day's start and the rest.
    // ERFA says when a date is beyond what it knows (a dubious year, status 1,
    // or an impossible one, -1): no time rather than a wrong one.
    const double day = ERFA_DJM0;
    double tai1 = day, tai2 = jd - day;
    if (scale == ImageTime::TimeScale::Tt && eraTttai(day, jd - day, &tai1, &tai2) != 0)
        return std::nullopt;
    double utc1 = 0, utc2 = 0;
    if (eraTaiutc(tai1, tai2, &utc1, &utc2) != 0)
        return std::nullopt;
    const double utc = utc1 + utc2;
    return JulianDate::inRange(utc) ? std::optional(utc) : std::nullopt;
}

std::optional<double> heliocentricJulianDate(double jdUtc, const ImageTime::SkyPosition &position)
{
    // The Earth's heliocentric position at that moment (its ephemeris runs on TT).
    double tai1 = 0, tai2 = 0, tt1 = 0, tt2 = 0;
    if (!JulianDate::inRange(jdUtc) || eraUtctai(ERFA_DJM0, jdUtc - ERFA_DJM0, &tai1, &tai2) != 0
        || eraTaitt(tai1, tai2, &tt1, &tt2) != 0)
        return std::nullopt;
    double heliocentric[2][3] = {};
    double barycentric[2][3] = {};
    // Status 1: beyond 1900-2100, where the ephemeris is less accurate but
    // still far better than a second of light time.
    if (eraEpv00(tt1, tt2, heliocentric, barycentric) < 0)
        return std::nullopt;
    // Light reaches the Earth that much before (or after) the Sun.
    double star[3] = {};
    eraS2c(position.ra * ERFA_DD2R, position.dec * ERFA_DD2R, star);
    const double au = eraPdp(heliocentric[0], star);
    return jdUtc + au * ERFA_AULT / ERFA_DAYSEC;
}

Image read(const QString &path, std::optional<ImageTime::SkyPosition> position)
{
    Image info;
    info.file = path;
    Cards cards;
    info.error = readHeader(path, cards);
    if (!info.error.isEmpty())
        return info;
    const auto text = [&cards](const char *name) -> std::optional<QString> {
        const QString value = ImageTime::value(cards, QLatin1String(name)).trimmed();
        return value.isEmpty() ? std::nullopt : std::optional(value);
    };
    info.filter = text("FILTER");
    info.object = text("OBJECT");
    if (const auto airmass = text("AIRMASS")) {
        // An airmass is at least 1 above the horizon; a number AAVSO's AMASS
        // cannot hold, or none, is said and not used.
        const auto number = ImageTime::number(*airmass);
        if (number && *number >= 1 && *number < 100)
            info.airmass = number;
        else
            info.airmassProblem = QStringLiteral("AIRMASS = %1").arg(*airmass);
    }
    info.position = position ? position : ImageTime::position(cards);

    const ImageTime::TimeFound found = ImageTime::midExposure(cards);
    if (!found.time) {
        info.error = messages::imageTimeProblem(found);
        return info;
    }
    info.exposure = found.time->exposure;
    info.timeFrom = messages::imageTimeFrom(*found.time);
    info.oldDateForm = found.time->oldDateForm;
    info.jd = utcOf(found.time->jd, found.time->scale);
    if (!info.jd) {
        info.error = messages::imageTimeProblem({std::nullopt, ImageTime::TimeProblem::OutOfRange,
            found.time->from + QStringLiteral("（TIMESYS = ")
                + ImageTime::value(cards, QStringLiteral("TIMESYS")).trimmed() + u'）',
            QString::number(found.time->jd, 'f', 6)});
        return info;
    }
    if (info.position)
        info.hjd = heliocentricJulianDate(*info.jd, *info.position);
    return info;
}

QByteArray json(const QList<Image> &images)
{
    QJsonArray array;
    for (const Image &i : images) {
        array.append(QJsonObject {{QStringLiteral("file"), i.file},
            {QStringLiteral("jd"), orNull(i.jd)}, {QStringLiteral("hjd"), orNull(i.hjd)},
            {QStringLiteral("exposure"), orNull(i.exposure)},
            {QStringLiteral("filter"), orNull(i.filter)},
            {QStringLiteral("object"), orNull(i.object)},
            {QStringLiteral("airmass"), orNull(i.airmass)},
            {QStringLiteral("time_from"),
                i.timeFrom.isEmpty() ? QJsonValue() : QJsonValue(i.timeFrom)},
            {QStringLiteral("error"), i.error.isEmpty() ? QJsonValue() : QJsonValue(i.error)}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QString text(const QList<Image> &images)
{
    QString out;
    const auto jd = [](const std::optional<double> &v) {
        return v ? QString::number(*v, 'f', 6) : QStringLiteral("—");
    };
    // What the files say is shown escaped: a header could hold escape
    // sequences for the terminal.
    const auto shown = [](const std::optional<QString> &v) {
        return v ? messages::visible(*v) : QStringLiteral("—");
    };
    for (const Image &i : images) {
        out += messages::visible(i.file) + u'\n';
        if (!i.error.isEmpty()) {
            out += QStringLiteral("  時刻がありません: %1\n").arg(messages::visible(i.error));
            continue;
        }
        out += QStringLiteral("  JD %1（露出の中央、UT。%2）\n  HJD %3\n")
                   .arg(jd(i.jd), messages::visible(i.timeFrom), jd(i.hjd));
        out += QStringLiteral("  露出 %1 秒　フィルター %2　天体 %3　エアマス %4\n")
                   .arg(i.exposure ? ReportText::fixed(*i.exposure, 1) : QStringLiteral("—"),
                       shown(i.filter), shown(i.object),
                       i.airmass ? ReportText::fixed(*i.airmass, 3) : QStringLiteral("—"));
        if (!i.airmassProblem.isEmpty())
            out += QStringLiteral("  %1 はエアマスとして使えません\n")
                       .arg(messages::visible(i.airmassProblem));
    }
    return out;
}

} // namespace quillet::ImageInfo
