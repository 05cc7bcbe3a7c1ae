#pragma once
// The spreadsheet work folder "ziptmp", into which xlsx packages are unpacked
// and from which they are packed. It lives inside a temporary folder that
// belongs to this process and to the user alone (mode 0700), never at a fixed
// shared path, so that no other account can plant or read files in it.

#include <QString>

// Path of the work folder <private temporary folder>/"ziptmp". The private
// folder is created on first use and removed when the program ends; the work
// folder itself is created by its users. Empty when no private folder can be made.
QString Excel_Work_Folder();

// Removes the work folder with everything in it; every error is ignored.
void Delete_Excel_File_Temp_Folder();
