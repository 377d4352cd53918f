// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Rows of the comparison-star table that the design's Measure reads as
// something else than they show: a text that is not a number in the
// project's grammar (full-width digits from an input method, "-6,667", "Sky")
// is read as its leading number, 0 for most; an empty box is read as 0. Rows
// that take no part in the fit (vacant, or 9999 and above) have none.
namespace quillet::TableDoubts {

enum class Kind {
    MeasuredNotANumber, // the measured box's text is no number: read as ParseNumber gives
    CatalogueNotANumber, // the same for the catalogue box
    NoCatalogue, // a measured value and an empty catalogue box: read as magnitude 0
    NotMeasured, // a catalogue magnitude and an empty measured box: read as measured 0
};

struct Doubt
{
    int row; // 1..15
    Kind kind;
    QString text; // the box's text, for the two NotANumber kinds
};

// tableTexts: Text1..Text30. In row order, at most one doubt a row.
std::vector<Doubt> find(const QStringList &tableTexts);

// A text that the Measure reads as the number it shows: empty, or a number in full.
bool isNumberText(const QString &text);

} // namespace quillet::TableDoubts
