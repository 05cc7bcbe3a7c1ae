#pragma once
// Loading a picture file for a card object.

#include <QImage>
#include <QString>

// The path with a leading "~" replaced by the home folder and "." / ".." parts
// resolved.
QString standardizedPicturePath(const QString& path);

// The one check of a picture file, wherever one is listed, chosen, placed,
// used as a background, exported or printed. Why the picture at the
// (standardized) path cannot be used, as the program names a file it cannot
// read: "The file "<path>" could not be read: <reason>.", the reason being
// the system's (no such file, permission denied), what stands there instead
// of a file (a folder, a named pipe, a device), "it is not a picture", "it is
// a damaged or incomplete picture" (cut short, or its header broken) or that
// it is too large to decode. "" when it can be used.
//
// It decodes no pixels: the file's first bytes, its header, the sizes the
// header gives and how the file ends tell it, so that every picture of a
// folder can be judged where it is listed.
QString pictureFileProblem(const QString& path);

// A picture file decoded, or why it cannot be used.
struct CheckedPicture {
  QImage image;     // null when there is a problem
  QString problem;  // as pictureFileProblem words it; "" when the picture can be used
};

// The picture at the (standardized) path, decoded after the check above;
// damage that only decoding finds is "a damaged or incomplete picture" too.
//
// A file is decoded once while anything holds its picture: loading the same
// file again (same path, size and modification time) gives the same shared
// picture without a look at the file, so a design whose objects all name one
// photo holds it once, and a picture checked when it was chosen is not
// decoded again when it is placed while the chooser holds it. Safe from any
// thread.
CheckedPicture loadCheckedPictureFile(const QString& path);

// loadCheckedPictureFile(path).image: a null picture for any problem.
QImage loadPictureFile(const QString& path);

// Keeps a picture pasted from another program as a PNG file of the picture
// library, <resource folder>/LibraryImage/Pasted/"Pasted <digest>.png", named
// after its pixels, so the same picture pasted twice is one file. A picture
// object shows a file, and only a file survives saving, copying and pasting.
// The file's path, or "" with the reason in *why.
QString keepPastedPicture(const QImage& picture, const QString& resourceFolder, QString* why = nullptr);

// Allocation limit of picture decoding, in megabytes.
inline constexpr int kPictureAllocationLimitMB = 256;
