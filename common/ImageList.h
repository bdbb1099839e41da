#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace velomar::common {

// The program's shared icons (IMMAGINI), addressed by key: kDBclose, kDBopen, kINS,
// kTRASH, kVERT, kOR, kGR, kPRN, kDRIVET, kMODIFICA, kCITTA, kCAP, kPROV, kNAZ.
class ImageList {
public:
    static QStringList keys();
    static bool contains(const QString& key);
    // Null icon / pixmap for an unknown key.
    static QIcon icon(const QString& key);
    static QPixmap pixmap(const QString& key, int size = 16);
    // Tag text stored with the image: "Database Aperto" for kDBopen.
    static QString tag(const QString& key);
    // The program's own icon.
    static QIcon programIcon();
};

} // namespace velomar::common
