#pragma once

#include "printing/SheetFormat.h"

#include <QString>
#include <vector>

class QIODevice;

namespace velomar::printing {

// Reads the label templates of glabels-data (Glabels-templates XML): every template with
// one rectangular label and one layout on A4, A5 or US Letter paper becomes a sheet
// format named "BRAND PART"; an "equiv" template takes the shape of the part it names.
// Everything else is counted as skipped, never reported one by one.
class GlabelsTemplates {
public:
    struct Result {
        std::vector<SheetFormat> formats;
        int skipped = 0;
        int files = 0;
    };

    // Every *-templates.xml of folder, in name order; an empty result when it is missing.
    static Result readFolder(const QString& folder);
    // One file's templates, appended to result; a file that is not XML counts as skipped.
    static void read(QIODevice& device, Result& result);
    // "12.5mm", "1in", "3pt", "0.5cm", "2pc"; no unit means points. nullopt when unreadable.
    static std::optional<double> toMillimetres(QStringView text);
};

} // namespace velomar::printing
