#include "ArchiveTestFiles.h"
#include "support/CommandRun.h"

#include "archive/ArchiveFile.h"
#include "archive/DatabaseError.h"
#include "archive/SampleArchive.h"
#include "archive/Statement.h"

#include <QMap>
#include <QSet>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar::archive;
using namespace velomar::test;

namespace {

int runBatch(const char* command, const QStringList& args, QString* outText = nullptr) {
    const CommandRun r = runCommand(QString::fromUtf8(command), args);
    if (outText)
        *outText = r.out;
    return r.status;
}

} // namespace

TEST(SampleArchive, SameSeedSameFileAndCountAgrees) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.mdb"));
    const QString b = dir.filePath(QStringLiteral("b.mdb"));
    const QString c = dir.filePath(QStringLiteral("c.mdb"));
    for (const auto& [path, seed] : {std::pair{a, "5"}, std::pair{b, "5"}, std::pair{c, "6"}})
        ASSERT_EQ(runBatch("sample", {QStringLiteral("--count"), QStringLiteral("2000"), QStringLiteral("--seed"),
                                      QLatin1String(seed), path}), 0);
    EXPECT_EQ(fileBytes(a), fileBytes(b));
    EXPECT_NE(fileBytes(a), fileBytes(c));

    QString out;
    EXPECT_EQ(runBatch("count", {a}, &out), 0);
    EXPECT_EQ(out, QStringLiteral("2000\n"));

    // An existing file is never overwritten; bad arguments are refused.
    const QByteArray before = fileBytes(a);
    EXPECT_NE(runBatch("sample", {QStringLiteral("--count"), QStringLiteral("5"), a}), 0);
    EXPECT_EQ(fileBytes(a), before);
    EXPECT_EQ(runBatch("sample", {QStringLiteral("--count"), QStringLiteral("x"), c}), 2);
    EXPECT_EQ(runBatch("sample", {QStringLiteral("--count"), QStringLiteral("0"),
                                     dir.filePath(QStringLiteral("vuoto.mdb"))}), 0);
    EXPECT_EQ(runBatch("count", {dir.filePath(QStringLiteral("vuoto.mdb"))}, &out), 0);
    EXPECT_EQ(out, QStringLiteral("0\n"));
}

TEST(SampleArchive, AddressesLookRealAndPlacesAgree) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Esempio.mdb"));
    const QString groups = dir.filePath(QStringLiteral("Gruppi.grp"));
    SampleArchive::write(path, 3000, 1);
    SampleArchive::writeGroups(groups, 1);
    Database db = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly);

    // One town always has the same province, and Italian postal codes are 5 digits.
    QMap<QString, QString> provinceOf;
    QSet<QString> usedGroups;
    int foreign = 0, accented = 0, apostrophes = 0, nulls = 0, empties = 0;
    const QRegularExpression cap(QStringLiteral("^\\d{5}$"));
    Statement st(db, QStringLiteral("SELECT CAP, CITTA, PROV, NAZ, COGNOME, E_MAIL, GR FROM TabMAIL"));
    while (st.step()) {
        const QString town = st.text(1);
        ASSERT_FALSE(town.isEmpty());
        EXPECT_EQ(town, town.toUpper());
        if (!st.isNull(2) && !st.text(2).isEmpty()) {
            EXPECT_TRUE(cap.match(st.text(0)).hasMatch()) << qPrintable(st.text(0));
            EXPECT_EQ(provinceOf.value(town, st.text(2)), st.text(2)) << qPrintable(town);
            provinceOf[town] = st.text(2);
        }
        if (!st.isNull(3) && st.text(3).size() > 1)
            ++foreign;
        if (!st.isNull(6) && !st.text(6).isEmpty())
            usedGroups.insert(st.text(6));
        const QString all = town + st.text(4);
        if (all.contains(QRegularExpression(QStringLiteral("[àèéìòùÀÈÉÌÒÙ]"))))
            ++accented;
        if (all.contains(QLatin1Char('\'')))
            ++apostrophes;
        for (int c : {5, 6}) {
            if (st.isNull(c))
                ++nulls;
            else if (st.text(c).isEmpty())
                ++empties;
        }
    }
    EXPECT_GT(foreign, 100);
    EXPECT_GT(accented, 30);
    EXPECT_GT(apostrophes, 30);
    EXPECT_GT(nulls, 100);
    EXPECT_GT(empties, 10);
    EXPECT_GT(provinceOf.size(), 80);

    Database g = ArchiveFile::open(groups, ArchiveKind::Groups, ArchiveFile::Access::ReadOnly);
    Statement known(g, QStringLiteral("SELECT COUNT(*) FROM TabGRUPPI WHERE GRUPPO = ?"));
    for (const QString& code : usedGroups) {
        known.bindText(1, code);
        ASSERT_TRUE(known.step());
        EXPECT_EQ(known.integer(0), 1) << qPrintable(code);
        known.reset();
    }
}
