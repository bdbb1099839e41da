#include "support/MemorySource.h"
#include "addresses/HouseholdSource.h"
#include "archive/DataModel.h"

#include <gtest/gtest.h>

using namespace velomar;
using archive::DataModel;

TEST(HouseholdSource, OneAddressPerDoorFamiliesJoinedByTheirSurname) {
    const struct {
        const char* name;
        std::vector<archive::AddressRecord> in;
        QStringList out; // NR: surname name, in order
        qint64 joined;
    } cases[] = {
        {"family",
         {test::address("1", "Sig.", "Rossi", "Mario", "Sindaco", "Via Verdi 3", "00100", "ROMA", "RM"),
          test::address("2", "", "Bruno", "Anna", "", "Via Po 1", "10100", "TORINO", "TO"),
          test::address("3", "Sig.ra", "ROSSI", "Giulia", "", "V. G. Verdi, 3", "00100", "ROMA", "RM")},
         {"1: FAMIGLIA ROSSI ", "2: Bruno Anna"},
         1},
        {"different surnames: the first",
         {test::address("5", "", "Bianchi", "Luca", "", "Via Po 1", "10100", "TORINO", "TO"),
          test::address("4", "", "Verdi", "Anna", "", "Via Po, 1", "10100", "TORINO", "TO")},
         {"5: Bianchi Luca"},
         1},
        {"other number, other CAP, no street",
         {test::address("1", "", "Rossi", "Mario", "", "Via Roma 3", "00100", "ROMA", "RM"),
          test::address("2", "", "Rossi", "Anna", "", "Via Roma 5", "00100", "ROMA", "RM"),
          test::address("3", "", "Rossi", "Luca", "", "Via Roma 3", "00199", "ROMA", "RM"),
          test::address("4", "", "Rossi", "Ugo", "", "", "00100", "ROMA", "RM"),
          test::address("5", "", "Rossi", "Ida", "", "", "00100", "ROMA", "RM")},
         {"1: Rossi Mario", "2: Rossi Anna", "3: Rossi Luca", "4: Rossi Ugo", "5: Rossi Ida"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::MemorySource source(c.in);
        addresses::HouseholdSource doors(source);
        EXPECT_EQ(doors.count(), c.out.size());
        EXPECT_EQ(doors.joined(), c.joined);
        QStringList got;
        archive::AddressRecord r;
        while (doors.next(r)) {
            got << r[DataModel::NR] + QStringLiteral(": ") + r[DataModel::COGNOME] + u' ' + r[DataModel::NOME1];
            if (r[DataModel::COGNOME].startsWith(QLatin1String("FAMIGLIA"))) {
                EXPECT_TRUE(r[DataModel::TITOLO].isEmpty());
                EXPECT_TRUE(r[DataModel::NOME2].isEmpty());
                EXPECT_EQ(r[DataModel::INDIRIZZO], "Via Verdi 3"); // the first one's
            }
        }
        EXPECT_EQ(got, c.out);
        EXPECT_TRUE(doors.restart());
        EXPECT_TRUE(doors.next(r));
    }
}
