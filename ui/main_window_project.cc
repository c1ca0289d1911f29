// The File menu: a book's project file opened into the controls and saved
// from them, and the list of recent projects.
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <filesystem>

#include "ui/ansi_text.h"
#include "ui/book_paths.h"
#include "ui/main_window.h"
#include "ui/setting_choices.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

constexpr char kProjectFilter[] = "Velkaro projects (*.ini);;All files (*)";

fs::path FolderOf(const QString& file) { return fs::path(ToAnsi(QFileInfo(file).absolutePath())); }

// A list's index for a number it shows, e.g. "-1" of the spacing lists.
void ChooseText(QComboBox* list, const QString& text) {
  const int index = list->findText(text, Qt::MatchFixedString);
  if (index >= 0) {
    list->setCurrentIndex(index);
  } else {
    list->addItem(text);
    list->setCurrentIndex(list->count() - 1);
  }
}

}  // namespace

void TfmMain::MakeFileMenu() {
  QMenu* file = menuBar()->addMenu("&File");
  file->addAction("&Open project...", QKeySequence::Open, this, &TfmMain::OpenProjectClick);
  file->addAction("&Save project", QKeySequence::Save, this, &TfmMain::SaveProjectClick);
  file->addAction("Save project &as...", QKeySequence::SaveAs, this, &TfmMain::SaveProjectAsClick);
  RecentMenu = file->addMenu("&Recent projects");
  file->addSeparator();
  file->addAction("&Quit", QKeySequence(Qt::CTRL | Qt::Key_Q), this, &QWidget::close);
}

QString TfmMain::ChooseProjectToOpen() {
  return QFileDialog::getOpenFileName(this, "Open project", QString(), kProjectFilter);
}

QString TfmMain::ChooseProjectToSave() {
  const QString name = project_path_.isEmpty() ? Edit2->text() + ".ini" : project_path_;
  return QFileDialog::getSaveFileName(this, "Save project as", name, kProjectFilter);
}

void TfmMain::OpenProjectClick() {
  const QString path = ChooseProjectToOpen();
  if (!path.isEmpty()) OpenProject(path);
}

void TfmMain::SaveProjectClick() {
  if (project_path_.isEmpty()) {
    SaveProjectAsClick();
  } else {
    SaveProjectAs(project_path_);
  }
}

void TfmMain::SaveProjectAsClick() {
  const QString path = ChooseProjectToSave();
  if (!path.isEmpty()) SaveProjectAs(path);
}

bool TfmMain::OpenProject(const QString& path) {
  std::string error = "No such project file: " + ToAnsi(path);
  TVelkaro book = TVelkaro::CreateDefault();
  if (!QFileInfo(path).isFile() || !book.LoadProject(ToAnsi(path), &error)) {
    ShowMessage(QMessageBox::Critical, "Velkaro", FromAnsi(error));
    return false;
  }
  ResolveBookPaths(book, FolderOf(path));
  ControlsFromSettings(book);
  RememberProject(path);
  LoadSourceAndPreview();
  return true;
}

bool TfmMain::SaveProjectAs(const QString& path) {
  try {
    SettingsFromControls();
    TVelkaro book = *book_;
    ResolveBookPaths(book, fs::current_path());
    RelateBookPaths(book, FolderOf(path));
    book.WriteProject(ToAnsi(path));
  } catch (const std::exception& e) {
    ShowMessage(QMessageBox::Critical, "Velkaro", FromAnsi(e.what()));
    return false;
  }
  RememberProject(path);
  return true;
}

QStringList TfmMain::RecentProjects() const { return recent_projects_; }

void TfmMain::RememberProject(const QString& path) {
  project_path_ = QFileInfo(path).absoluteFilePath();
  recent_projects_.removeAll(project_path_);
  recent_projects_.prepend(project_path_);
  while (recent_projects_.size() > kMostRecentProjects) recent_projects_.removeLast();
  setWindowTitle("Velkaro - " + QFileInfo(path).fileName());
  ShowRecentProjects();
}

void TfmMain::ShowRecentProjects() {
  RecentMenu->clear();
  for (const QString& file : recent_projects_) {
    RecentMenu->addAction(file, this, [this, file] { OpenProject(file); });
  }
  RecentMenu->setEnabled(!recent_projects_.isEmpty());
}

// Sets the controls as the book's settings say; a change made here runs the
// enabling rules as a restored window state does.
void TfmMain::ControlsFromSettings(const TVelkaro& book) {
  Edit2->setText(FromAnsi(book.BookName));
  Edit6->setText(FromAnsi(book.BookInfo));
  CheckBox3->setChecked(!book.SplashFileName.empty());
  Edit1->setText(FromAnsi(book.SplashFileName));
  CheckBox5->setChecked(!book.IconFileName.empty());
  Edit7->setText(FromAnsi(book.IconFileName));
  SetWindowColors(book.FontColor, book.BackColor);
  ComboBox10->setCurrentIndex(std::clamp(book.Compression, 1, 9) - 1);
  ComboBox5->setCurrentIndex(std::clamp(book.PasswordMode, 0, 2));
  if (book.PasswordMode != 0) Edit8->setText(QString::number(book.Password));
  Edit10->setText(FromAnsi(book.ImagePngOptions));
  Edit11->setText(FromAnsi(book.ImageJpgOptions));
  if (book.BookMode) {
    TextBookControlsFromSettings(book);
  } else {
    image_list_->SetPictures(book.ImageFiles, book.ImageNotes);
    ComboBox11->setCurrentIndex(PhotoModeIndex(book.ImageMode));
  }
  PageControl1->setCurrentIndex(book.BookMode ? 0 : 1);
  ComboBox4Change();
  ComboBox5Change();
  ComboBox7Change();
  ComboBox6Change();
}

void TfmMain::TextBookControlsFromSettings(const TVelkaro& book) {
  Edit3->setText(FromAnsi(book.TextFileName));
  CheckBox1->setChecked(book.Format);
  CheckBox6->setChecked(book.Tags);
  ComboBox7->setCurrentIndex(std::clamp(book.ImageMode, 0, 6));
  Edit9->setText(QString::number(book.ImageSize));
  Edit5->setText(QString::number(book.PartSize));
  ChooseText(ComboBox2, QString::number(book.LineSpacing));
  ChooseText(ComboBox3, QString::number(book.CharSpacing));
  CheckBox2->setChecked(book.WordWrap);
  CheckBox4->setChecked(book.PortraitLayout);
  ComboBox4->setCurrentIndex(book.Font ? 0 : 1);
  if (book.Font) {
    preview_font_ = *book.Font;
    Edit4->setText(FromAnsi(preview_font_.Name));
  }
  if (book.Encoding.empty()) {
    ComboBox8->setCurrentIndex(0);
  } else {
    ChooseText(ComboBox8, FromAnsi(book.Encoding));
  }
  CheckBox7->setChecked(book.JoinLines);
  CheckBox8->setChecked(book.StyleHeadings);
  ComboBox9->setCurrentText(PackageSizeText(book.MaxJarSize));
}

}  // namespace velkaro
