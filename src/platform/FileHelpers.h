#pragma once
// File and folder helpers of the resource folder.

#include <QString>
#include <QStringList>

class QUrl;

// Removes a file (or a folder with its contents, or a link) when its folder
// lets us; a missing or protected path is left alone. Errors go to the log.
void Delete_File(const QString& path);
// Opens Resource_Path()/"Help.pdf" with its default application, or shows
// "Help file does not exist!".
void Open_Help_File();
// Creates the folders of the resource folder that are missing: "DataSet",
// "Background", "Fill_Style_Image", "LibraryImage", "Templates",
// "Templates/User". New folders get the user's default permissions, never
// world-writable.
void Check_Path_And_Create_Files();
// Names (last extension removed) of the entries of a folder that are not
// folders, hidden ones included, sorted by name; empty when the path is
// missing or not a folder.
QStringList Get_Files_Array_At_Path(const QString& folder);

namespace platform {
// Creates a folder with its missing parents. Folders made here get the
// umask's permissions without write access for others. True when the folder
// exists afterwards.
bool makeFolder(const QString& path);
// Opens a file or link with the desktop's application for it; when the
// desktop opens nothing, also when its opener finds no application for the
// file only after it has started, says so, naming the file or the address.
void openOrTell(const QUrl& url);
}  // namespace platform
