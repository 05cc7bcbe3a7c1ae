#pragma once
// Shared helpers of the design file tests: a design with every kind of card
// object and non-default page settings, a comparable fingerprint of a host's
// whole design; files and the plistlib oracle come from the shared support.

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>

#include "mainwindow/designfile/PlainDesignHost.h"
#include "support/TestFiles.h"

namespace designfile_test {

// Fills the host with a full design: both sides with objects of every kind,
// page settings away from their defaults, a bound spreadsheet table with
// titles and rows. Picture files are written into `folder`.
void fillFullDesign(designfile::PlainDesignHost& host, const QDir& folder);

// Everything a design file stores of a host, as bytes: equal fingerprints mean
// equal designs (graphics compared through their archives).
QByteArray designFingerprint(designfile::PlainDesignHost& host);

using testing_support::readFile;
using testing_support::runPython;
using testing_support::writeFile;

}  // namespace designfile_test
