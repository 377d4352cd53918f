#include "core/comparison_data_file.h"

#include "core/numeric_text.h"
#include "core/vacant_sort.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quillet {

namespace {

constexpr int TableTexts = 2 * TableRows;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// A whole field of the form the writer produces: sign, digits with at most one
// point, optional exponent. Anything else is shown as the text it is.
bool isNumberField(QByteArrayView field)
{
    qsizetype p = 0;
    const qsizetype n = field.size();
    if (p < n && (field[p] == '+' || field[p] == '-'))
        ++p;
    bool digits = false;
    bool point = false;
    for (; p < n; ++p) {
        if (field[p] >= '0' && field[p] <= '9') {
            digits = true;
        } else if (field[p] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return false;
    if (p < n && (field[p] == 'E' || field[p] == 'e')) {
        ++p;
        if (p < n && (field[p] == '+' || field[p] == '-'))
            ++p;
        const qsizetype exponentStart = p;
        while (p < n && field[p] >= '0' && field[p] <= '9')
            ++p;
        if (p == exponentStart)
            return false;
    }
    return p == n;
}

class FieldReader
{
public:
    explicit FieldReader(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    // True when no further field starts: only blanks and line ends remain.
    bool atEnd()
    {
        skipBlanksAndLineEnds();
        return m_pos >= m_bytes.size();
    }

    // The next field's text. A line end directly after a comma ends an empty field;
    // at the start of a row blank lines are passed over first.
    QString next(bool startOfRow)
    {
        if (startOfRow || m_afterLineEnd)
            skipBlanksAndLineEnds();
        else
            skipBlanks();
        m_afterLineEnd = false;
        if (m_pos >= m_bytes.size())
            return QString();

        QByteArrayView field;
        bool quoted = false;
        if (m_bytes[m_pos] == '"') {
            quoted = true;
            const qsizetype start = ++m_pos;
            while (m_pos < m_bytes.size() && m_bytes[m_pos] != '"')
                ++m_pos;
            field = m_bytes.sliced(start, m_pos - start);
            if (m_pos < m_bytes.size())
                ++m_pos; // the closing quote
            // Anything between the closing quote and the separator is dropped.
            while (m_pos < m_bytes.size() && m_bytes[m_pos] != ',' && !isLineEnd(m_bytes[m_pos]))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_bytes.size() && m_bytes[m_pos] != ',' && !isLineEnd(m_bytes[m_pos]))
                ++m_pos;
            qsizetype end = m_pos;
            while (end > start && isBlank(m_bytes[end - 1]))
                --end;
            field = m_bytes.sliced(start, end - start);
        }
        takeSeparator();

        if (!quoted && isNumberField(field))
            return PlainNumberText(ParseNumber(QString::fromLatin1(field)));
        return QString::fromUtf8(field);
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_bytes.size() && isBlank(m_bytes[m_pos]))
            ++m_pos;
    }

    void skipBlanksAndLineEnds()
    {
        while (m_pos < m_bytes.size() && (isBlank(m_bytes[m_pos]) || isLineEnd(m_bytes[m_pos])))
            ++m_pos;
    }

    void takeSeparator()
    {
        if (m_pos >= m_bytes.size())
            return;
        if (m_bytes[m_pos] == ',') {
            ++m_pos;
            return;
        }
        // CR LF, a lone LF or a lone CR ends the line.
        if (m_bytes[m_pos] == '\r')
            ++m_pos;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
            ++m_pos;
        m_afterLineEnd = true;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_afterLineEnd = false;
};

} // namespace

QByteArray ComparisonDataFile::serialize(const QStringList &tableTexts)
{
    QString text;
    for (int k = 0; k < TableRows; ++k) {
        const QString measured = tableTexts.value(2 * k);
        if (IsEmptyText(measured))
            continue;
        text += FileNumberText(ParseNumber(measured)) + u','
            + FileNumberText(ParseNumber(tableTexts.value(2 * k + 1))) + QStringLiteral("\r\n");
    }
    return text.toLatin1();
}

QStringList ComparisonDataFile::deserialize(QByteArrayView bytes)
{
    QStringList texts(TableTexts);
    FieldReader reader(bytes);
    for (int k = 0; k < TableRows; ++k) {
        if (reader.atEnd())
            break;
        texts[2 * k] = reader.next(true);
        texts[2 * k + 1] = reader.next(false);
    }
    return texts;
}

ComparisonDataFile::Loaded ComparisonDataFile::load(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {QStringList(TableTexts), std::nullopt};
    if (info.isDir())
        return {QStringList(TableTexts), QStringLiteral("%1 はフォルダです").arg(path)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringList(TableTexts), file.errorString()};
    const QByteArray bytes = file.read(ReadLimit);
    std::optional<QString> error;
    if (file.error() != QFileDevice::NoError)
        error = file.errorString();
    return {deserialize(bytes), error};
}

std::optional<QString> ComparisonDataFile::save(const QString &path, const QStringList &tableTexts)
{
    const QByteArray bytes = serialize(tableTexts);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // QSaveFile::commit() renames the new file into place even after its own flush
    // failed (a full disk, a file size limit), so the flush is checked here first.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        file.commit(); // only removes the temporary file
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace quillet
