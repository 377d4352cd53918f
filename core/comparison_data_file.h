#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillet {

// "compdata.txt": one line per table row whose measured-value box is not empty,
// "<FileNumberText(m)>,<FileNumberText(c)>" CR LF, rows moving up to close gaps.
struct ComparisonDataFile
{
    static constexpr const char *FileName = "compdata.txt";
    // Fifteen rows of short numbers fit in far less; a larger file is read only
    // this far, so neither a huge nor a binary file can slow start-up down.
    static constexpr qsizetype ReadLimit = 64 * 1024;

    // The file's bytes for the 30 texts Text1..Text30 (row order).
    static QByteArray serialize(const QStringList &tableTexts);
    // The 30 texts the table shows after start-up reads these bytes (rows not in the file empty).
    // Fields are read in order and paired across lines: a blank line carries no field,
    // a line of one field lends its row's second field from the next line. Blanks
    // around a field are skipped; a numeric field shows as PlainNumberText, an empty
    // field as empty text, any other field as its own text ("quotes" removed).
    // Line ends may be CR LF, LF or CR; invalid UTF-8 shows as replacement characters.
    static QStringList deserialize(QByteArrayView bytes);

    struct Loaded
    {
        QStringList tableTexts;       // 30 texts; the rows read before any failure
        std::optional<QString> error; // why a file that exists could not be read
    };
    // Reads the file at path. No file at all is the normal first start: 30 empty
    // texts and no error.
    static Loaded load(const QString &path);
    // Writes the file atomically: on failure the earlier file is left as it was,
    // and the reason is returned.
    static std::optional<QString> save(const QString &path, const QStringList &tableTexts);
};

} // namespace quillet
