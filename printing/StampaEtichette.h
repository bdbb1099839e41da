#pragma once

#include "printing/Printer.h"
#include "printing/LabelLayout.h"
#include "printing/SheetFormat.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <limits>

namespace velomar::archive {
class AddressSource;
struct AddressRecord;
} // namespace velomar::archive
namespace velomar::settings {
class Options;
}

namespace velomar::printing {

// The label options of the settings: font, bold, offsets.
struct LabelOptions {
    bool extraCondensed = false; // "Abadi MT Condensed" instead of "Arial Narrow"
    bool bold = false;
    int topOffsetMm = 0;
    int leftOffsetMm = 0;
    bool postalStyle = false; // the recipient block in the postal style (PostalStyle)
    bool outlines = false; // "Stampa i contorni": each label's outline too, for a trial on plain paper

    static LabelOptions from(const settings::Options& options);
    // The label font, sized for the sheet's labels (10 points on the standard sheet).
    PrintFont font(const SheetFormat& sheet = SheetFormat::standard()) const;
};

// The label engine: one label per address of the source, in the source's order, from
// a start position on the first sheet; every full sheet is a document of its own. The
// sheet format decides where labels are and the widths and font of their text.
class StampaEtichette {
public:
    static constexpr int LineCount = 8;
    using Lines = std::array<QString, LineCount>;
    using Measure = std::function<double(const QString&)>;

    StampaEtichette(Printer& printer, LabelOptions options,
                    SheetFormat sheet = SheetFormat::standard());

    // Prints every address of source from position on. On return position holds the
    // place after the last label (1,1 after a completed sheet). A failure aborts the open
    // document (labels of completed sheets stay printed), restores position to the start
    // of that document and rethrows; the caller shows printFailureText. A position
    // outside the sheet is refused before anything is printed.
    void print(archive::AddressSource& source, LabelPosition& position);

    // A label of the job's own before the address of a given index (0-based, in the
    // source's order): its texts in bold, each wrapped to the label; none when empty. It
    // never ends a sheet alone: that place stays empty and it starts the next sheet.
    using Insert = std::function<QStringList(qint64 index)>;
    void setInsert(Insert insert) { m_insert = std::move(insert); }

    // Addresses printed, and the job's own labels printed apart.
    qint64 labelsPrinted() const { return m_labelsPrinted; }
    qint64 insertsPrinted() const { return m_insertsPrinted; }
    // NR of the labels of the last print whose text did not wholly fit in its label
    // (lines shortened to the label's width, title or role left out of a label too low
    // for them, or lines lost below it); normally empty.
    const QStringList& cutLabels() const { return m_cutLabels; }
    // The closing note on cut labels ("" when none was cut).
    static QString cutLabelsNote(const QStringList& nrs);

    // The 8 lines of one label; width measures a text in the printing font (mm). roomMm is
    // the width left on the label from where its lines start: surname and name join only
    // when they fit in it as well as within the sheet's joining width, and a line wider
    // than it is shortened (the locality before its province) and reported through
    // shortened. The locality's length follows the sheet's label width.
    static Lines labelLines(const archive::AddressRecord& record, const Measure& width,
                            double roomMm = std::numeric_limits<double>::infinity(),
                            bool* shortened = nullptr,
                            const SheetFormat& sheet = SheetFormat::standard());
    // Leaves out lines, least important first (title, then role), until at most maxLines
    // lines are shown; returns whether any was left out. Name, street, locality and
    // country are never left out here.
    static bool dropLines(Lines& lines, int maxLines);
    // Texts broken at blanks into lines no wider than roomMm (a word wider alone is cut).
    static QStringList wrapped(const QStringList& texts, const Measure& width, double roomMm);

private:
    Printer& m_printer;
    LabelOptions m_options;
    SheetFormat m_layout;
    Insert m_insert;
    qint64 m_labelsPrinted = 0;
    qint64 m_insertsPrinted = 0;
    QStringList m_cutLabels;
};

} // namespace velomar::printing
