#include "addresses/AddressCheckBatch.h"

#include "addresses/AddressCheck.h"
#include "addresses/ArchiveCheck.h"
#include "addresses/ItalianPlaces.h"
#include "archive/ArchiveFile.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "common/AppError.h"
#include "common/CommandArgs.h"
#include "settings/Settings.h"

#include <QTextStream>

namespace velomar::addresses {

int batchCheck(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    const QString& path = args.argument(0);
    const bool fix = args.isSet(QStringLiteral("fix"));
    try {
        const settings::Settings settings;
        const ItalianPlaces places = ItalianPlaces::forUser(settings);
        const AddressCheck check(places);
        archive::Database db = archive::ArchiveFile::open(
            path, archive::ArchiveKind::Addresses,
            fix ? archive::ArchiveFile::Access::ReadWrite : archive::ArchiveFile::Access::ReadOnly);
        const QList<ArchiveCheck::Suspect> suspects = ArchiveCheck::scan(db, check);
        QList<ArchiveCheck::Suspect> sure;
        for (const ArchiveCheck::Suspect& s : suspects) {
            out << s.nr << '\t' << s.finding.reason << '\t'
                << (s.finding.hasProposal() ? AddressCheck::describe(s.finding.proposal) : QString()) << '\n';
            if (s.finding.unambiguous())
                sure.append(s);
        }
        if (fix) {
            const int changed = ArchiveCheck::apply(db, sure);
            err << QStringLiteral("Corretti %1 indirizzi su %2 da verificare.").arg(changed).arg(suspects.size())
                << '\n';
        }
    } catch (const archive::DatabaseError& e) {
        err << archive::FailureText::of(e, path) << '\n';
        return 1;
    } catch (const common::AppError& e) {
        err << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace velomar::addresses
