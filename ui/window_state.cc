#include "ui/window_state.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStandardPaths>

#include "platform/program_folder.h"
#include "ui/ansi_text.h"

namespace velkaro {
namespace {

constexpr char kStateFileName[] = "Velkaro.ini";
constexpr char kRecent[] = "Recent";

// Qt's own widgets hold unnamed edits; only ours carry names.
template <typename Control>
QList<Control*> NamedControls(const QWidget* window) {
  QList<Control*> named;
  for (Control* control : window->findChildren<Control*>()) {
    if (!control->objectName().isEmpty() && !control->objectName().startsWith("qt_")) {
      named.append(control);
    }
  }
  return named;
}

std::string KeyOf(const QObject* control) { return control->objectName().toStdString(); }

}  // namespace

WindowPaths DefaultWindowPaths() {
  const QString program = QString::fromStdString(ProgramFolder().string());
  const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  return {QDir(config).filePath(kStateFileName), QDir(program).filePath(kStateFileName),
          BuildFolderFor(program, data)};
}

QString BuildFolderFor(const QString& program_folder, const QString& user_folder) {
  if (QFileInfo(program_folder).isWritable()) return program_folder;
  QDir().mkpath(user_folder);
  return user_folder;
}

IniFile LoadWindowState(const WindowPaths& paths) {
  const QString file =
      QFileInfo::exists(paths.state_file) ? paths.state_file : paths.fallback_state_file;
  return IniFile::Load(file.toStdString());
}

void SaveWindowState(const WindowPaths& paths, const IniFile& ini) {
  QDir().mkpath(QFileInfo(paths.state_file).absolutePath());
  ini.Save(paths.state_file.toStdString());
}

void SaveControls(const QWidget* window, IniFile& ini) {
  for (const QLineEdit* edit : NamedControls<QLineEdit>(window)) {
    ini.WriteString("TEdit", KeyOf(edit), ToAnsi(edit->text()));
  }
  for (const QComboBox* list : NamedControls<QComboBox>(window)) {
    if (list->isEditable()) {
      ini.WriteString("TComboBox", KeyOf(list), ToAnsi(list->currentText()));
    } else {
      ini.WriteInteger("TComboBox", KeyOf(list), list->currentIndex());
    }
  }
  for (const QCheckBox* box : NamedControls<QCheckBox>(window)) {
    ini.WriteBool("TCheckBox", KeyOf(box), box->isChecked());
  }
}

void RestoreControls(QWidget* window, const IniFile& ini) {
  for (QLineEdit* edit : NamedControls<QLineEdit>(window)) {
    QSignalBlocker quiet(edit);
    edit->setText(FromAnsi(ini.ReadString("TEdit", KeyOf(edit), ToAnsi(edit->text()))));
  }
  for (QComboBox* list : NamedControls<QComboBox>(window)) {
    QSignalBlocker quiet(list);
    if (list->isEditable()) {
      list->setCurrentText(
          FromAnsi(ini.ReadString("TComboBox", KeyOf(list), ToAnsi(list->currentText()))));
    } else {
      list->setCurrentIndex(ini.ReadInteger("TComboBox", KeyOf(list), list->currentIndex()));
    }
  }
  for (QCheckBox* box : NamedControls<QCheckBox>(window)) {
    box->setChecked(ini.ReadBool("TCheckBox", KeyOf(box), box->isChecked()));
  }
}

QStringList LoadRecentProjects(const IniFile& ini) {
  QStringList files;
  for (int i = 1; i <= kMostRecentProjects; ++i) {
    const std::string file = ini.ReadString(kRecent, "File" + std::to_string(i), "");
    if (!file.empty()) files.append(FromAnsi(file));
  }
  return files;
}

void SaveRecentProjects(IniFile& ini, const QStringList& files) {
  for (int i = 1; i <= kMostRecentProjects; ++i) {
    const QString file = i <= files.size() ? files[i - 1] : QString();
    ini.WriteString(kRecent, "File" + std::to_string(i), ToAnsi(file));
  }
}

}  // namespace velkaro
