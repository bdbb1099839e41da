#pragma once

#include "printing/Printer.h"

#include <QString>
#include <array>
#include <functional>

namespace velomar::archive {
struct AddressRecord;
}
namespace velomar::settings {
class Options;
}

namespace velomar::printing {

struct EnvelopeOptions {
    bool bold = false;        // option 10
    bool printSender = false; // option 11
    int feed = 0;             // option 25: 0 LaserJet/manual, 1 DeskJet/tray 1
    int senderIndex = 0;      // option 26: 0 sender 1, 1 sender 2

    static EnvelopeOptions from(const settings::Options& options);
};

// One address on an envelope fed as an A4 landscape page.
class StampaBusta {
public:
    using Lines = std::array<QString, 7>;
    using Measure = std::function<double(const QString&)>;
    using Sender = std::array<QString, 6>;

    struct Placement {
        QPointF sender;  // left, top in mm
        QPointF address;
    };
    static Placement placement(int feed);

    // The 7 address lines (the locality is never cut).
    static Lines addressLines(const archive::AddressRecord& record, const Measure& width);

    // Prints and ends the document. Throws PrinterError after aborting the document.
    static void print(Printer& printer, const EnvelopeOptions& options, const Sender& sender,
                      const archive::AddressRecord& record);
};

} // namespace velomar::printing
