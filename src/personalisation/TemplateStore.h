#pragma once
// The design templates: file pairs (design file <name>.dcard and preview
// picture <name>.png or .jpg) in <resource folder>/Templates (shipped) and
// its subfolder User (the user's own). The user's templates are exported,
// copied, renamed and deleted here; the shipped ones are only read.

#include <QString>
#include <QStringList>
#include <functional>

namespace templates {

QString builtInFolder();  // <resource folder>/Templates
QString userFolder();     // <resource folder>/Templates/User

// Pictures of a folder: the entries whose extension, lower-cased, is "png"
// or "jpg", as full paths sorted by name; empty when there is no folder.
// Entries that are no pictures (a pipe, a folder, a link to a device) are
// listed too, so that they can be named (pictureFileProblem).
QStringList Picture_Files(const QString& folder);

// Why a template cannot be opened, naming the file at fault: its preview
// picture, else its design file (missing, no regular file, unreadable);
// "" when both can be read.
QString Template_Problem(const QString& preview);

// The design file of a preview: the same path with the extension "dcard".
QString Design_Path_For_Preview(const QString& preview);

// A typed template name cleaned to a fixed point: blanks, line breaks,
// control characters and the characters / \ ? % * | " < > trimmed from both
// ends until nothing more comes off. Empty when nothing usable is left or
// when the result could not be one file name ("." or "..", or a "/", "\"
// or NUL inside).
QString Clean_Template_Name(const QString& typed);

// Whether the path lies directly inside the user folder.
bool Is_User_Template(const QString& preview);

// Whether <user folder>/<name>.dcard exists.
bool User_Template_Exists(const QString& name);

// The first "<base> (copy n).<ext>" beside the preview, n = 1, 2, ..., that
// names no file.
QString Create_New_File_Path(const QString& preview);

enum class Outcome { Done, Unchanged, Refused, Failed };

// Copies a user template (preview and, when there is one, design file) under
// the next free copy name. Nothing is left half-made: when a copy fails, the
// files already copied are removed again.
Outcome Copy_Template(const QString& preview, QString* newPreview = nullptr);

// Renames a user template to <user folder>/<name>.png and .dcard. The same
// name changes nothing; the old files are removed only after both new ones
// were written.
Outcome Rename_Template(const QString& preview, const QString& name);

// Deletes a user template's preview and design file.
Outcome Delete_Template(const QString& preview);

// Writes a template: the design writer and the picture writer each write
// one file at the path they are given; then both take the places of
// <user folder>/<name>.dcard and .png together. When either writer fails,
// or either file cannot take its place (a folder of that name, say), nothing
// is replaced: the earlier template (if any) stays whole, byte for byte.
Outcome Export_Template_Files(const QString& name, const std::function<bool(const QString&)>& writeDesign,
                              const std::function<bool(const QString&)>& writePicture);

}  // namespace templates
