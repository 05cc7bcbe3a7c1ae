#pragma once
// Loading a picture file for a card object.

#include <QImage>
#include <QString>

// The path with a leading "~" replaced by the home folder and "." / ".." parts
// resolved.
QString standardizedPicturePath(const QString& path);

// Loads the picture at the (standardized) path; a null picture when the file is
// missing, not a plain file (folder, pipe, device), unreadable or larger than
// the decoding allocation limit.
//
// A file is decoded once while anything holds its picture: loading the same
// file again (same path, size and modification time) gives the same shared
// picture, so a design whose objects all name one photo holds it once. Safe
// from any thread.
QImage loadPictureFile(const QString& path);

// Why the file chosen as a picture cannot be shown, naming it: "" when it is
// a plain file of a known picture kind within the decoding limit that
// decodes whole (a picture cut short after its header does not).
QString pictureFileProblem(const QString& path);

// Keeps a picture pasted from another program as a PNG file of the picture
// library, <resource folder>/LibraryImage/Pasted/"Pasted <digest>.png", named
// after its pixels, so the same picture pasted twice is one file. A picture
// object shows a file, and only a file survives saving, copying and pasting.
// The file's path, or "" with the reason in *why.
QString keepPastedPicture(const QImage& picture, const QString& resourceFolder, QString* why = nullptr);

// Allocation limit of picture decoding, in megabytes.
inline constexpr int kPictureAllocationLimitMB = 256;
