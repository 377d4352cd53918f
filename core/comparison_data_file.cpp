// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/comparison_data_file.h"

#include "core/comparison_table.h"
#include "core/numeric_text.h"

namespace quillet::ComparisonDataFile {

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

class FieldReader
{
public:
    explicit FieldReader(QByteArrayView bytes)
        : m_bytes(bytes)
    { }

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

        // A field that is a number in full shows as the number; anything else
        // (a quoted field among them) as the text it is.
        if (!quoted) {
            if (const auto number = ParseWholeNumber(QString::fromLatin1(field)))
                return PlainNumberText(*number);
        }
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

QByteArray serialize(const QStringList &tableTexts)
{
    QString text;
    for (int k = 0; k < TableRows; ++k) {
        const QString measured = tableTexts.value(2 * k);
        const QString catalogue = tableTexts.value(2 * k + 1);
        // A catalogue magnitude not yet measured (a chart's, typed ahead) is
        // kept with an empty first field, which reads back as an empty box.
        if (IsEmptyText(measured) && !IsEmptyText(catalogue))
            text += u',' + FileNumberText(ParseNumber(catalogue)) + QStringLiteral("\r\n");
        if (IsEmptyText(measured))
            continue;
        text += FileNumberText(ParseNumber(measured)) + u','
            + FileNumberText(ParseNumber(catalogue)) + QStringLiteral("\r\n");
    }
    return text.toLatin1();
}

QStringList deserialize(QByteArrayView bytes)
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

Loaded loaded(const FileState::Read &read)
{
    if (!read.snapshot.exists && !read.failure)
        return {QStringList(TableTexts), std::nullopt, read.snapshot};
    // The rows read before a failure (a file cut short shows its beginning).
    return {deserialize(read.snapshot.bytes), read.failure, read.snapshot};
}

FileState::ReplacePolicy replacePolicy(const FileState::Snapshot &readAtStart)
{
    const bool unread = readAtStart.regular && !readAtStart.read;
    return {unread && readAtStart.keptAs.isEmpty(), unread};
}

Change changedSince(
    const QString &path, const FileState::Snapshot &atStart, const FileState::Read &now)
{
    // Gone, or no longer a file: the save has nothing to lose there.
    if (!now.snapshot.exists || !now.snapshot.regular)
        return {};
    Change change;
    const QString before = atStart.target.isEmpty() ? path : atStart.target;
    if (before != now.snapshot.target)
        change.writesTo = now.snapshot.target;
    if (!atStart.exists || !change.writesTo.isEmpty()) {
        change.changed = true;
        return change;
    }
    if (!atStart.read) {
        // Nothing to compare but what the system says of the file.
        change.changed = now.snapshot.size != atStart.size
            || now.snapshot.modifiedNs != atStart.modifiedNs
            || now.snapshot.device != atStart.device || now.snapshot.inode != atStart.inode;
        return change;
    }
    // The same bytes, touched or written anew, lose nothing when replaced.
    change.changed = !now.snapshot.read || now.snapshot.bytes != atStart.bytes;
    return change;
}

} // namespace quillet::ComparisonDataFile
