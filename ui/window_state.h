#ifndef VELKARO_UI_WINDOW_STATE_H_
#define VELKARO_UI_WINDOW_STATE_H_

#include <QString>
#include <QStringList>
#include <QWidget>

#include "engine/ini_file.h"

namespace velkaro {

// Where the window keeps its state and builds its books.
struct WindowPaths {
  QString state_file;           // "Velkaro.ini" in the user's configuration folder
  QString fallback_state_file;  // "Velkaro.ini" beside the program, read once when state_file is
                                // missing
  QString program_folder;       // holds the "midlets" and "temp" folders
};
WindowPaths DefaultWindowPaths();

// The folder that holds the "midlets" and "temp" folders: the program's own
// when it may be written, else (an installed program) the user's data folder.
QString BuildFolderFor(const QString& program_folder, const QString& user_folder);

// The state file to read: the user's, else the one beside the program. A
// missing file loads without keys; one that cannot be read throws Error.
IniFile LoadWindowState(const WindowPaths& paths);
// Writes the user's state file, making its folder. Throws Error.
void SaveWindowState(const WindowPaths& paths, const IniFile& ini);

// Every edit, drop-down list and check box below `window` with a name, in
// creation order, under the sections "TEdit", "TComboBox" and "TCheckBox".
// A list keeps its index, or its text when it may be typed in. Restoring
// sets texts and indexes quietly; a check box that changes runs its
// handlers. Each read defaults to the control's current value.
void SaveControls(const QWidget* window, IniFile& ini);
void RestoreControls(QWidget* window, const IniFile& ini);

// The project files opened or saved last, most recent first, in the section
// "Recent" as "File1", "File2" and so on.
inline constexpr int kMostRecentProjects = 8;
QStringList LoadRecentProjects(const IniFile& ini);
void SaveRecentProjects(IniFile& ini, const QStringList& files);

}  // namespace velkaro

#endif  // VELKARO_UI_WINDOW_STATE_H_
