#pragma once
// Shared helpers of the design file tests: a design with every kind of card
// object and non-default page settings, a comparable fingerprint of a host's
// whole design, and running the plistlib oracle.

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>

#include "mainwindow/designfile/PlainDesignHost.h"

namespace designfile_test {

// Fills the host with a full design: both sides with objects of every kind,
// page settings away from their defaults, a bound spreadsheet table with
// titles and rows. Picture files are written into `folder`.
void fillFullDesign(designfile::PlainDesignHost& host, const QDir& folder);

// Everything a design file stores of a host, as bytes: equal fingerprints mean
// equal designs (graphics compared through their archives).
QByteArray designFingerprint(designfile::PlainDesignHost& host);

// Runs /usr/bin/python3 with the script; the arguments follow. Fails the
// current test (and gives "") when python3 is missing or the script fails.
QByteArray runPython(const QString& script, const QStringList& arguments);

// Writes bytes to a file; fails the test when it cannot.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

}  // namespace designfile_test
