// Start: the settings from the controls, the build on its own thread, its log and progress.
#include <filesystem>

#include "platform/file_version.h"
#include "ui/ansi_text.h"
#include "ui/main_window.h"
#include "ui/setting_choices.h"

namespace velkaro {

void TfmMain::Button1Click() {
  if (Building()) {
    CancelBuild();
    return;
  }
  Button7->setEnabled(false);
  try {
    SettingsFromControls();
  } catch (const std::exception& e) {
    ShowMessage(QMessageBox::Critical, "Velkaro", FromAnsi(e.what()));
    return;
  }
  book_->LogView = &pane_log_;
  building_ = std::make_unique<TVelkaro>(*book_);
  building_->LogView = &thread_log_;
  cancel_ = false;
  building_->Cancel = &cancel_;
  Button1->setText("Cancel");
  ProgressBar1->setRange(0, 0);  // busy until the first part starts
  ProgressBar1->setFormat("");
  ProgressBar1->setVisible(true);

  build_thread_ = QThread::create([book = building_.get()] {
    book->Build();
    const std::filesystem::path midlets(book->MidletsFolder);
    book->SaveProject((midlets / (book->BookName + ".ini")).string());
  });
  build_thread_->setParent(this);
  connect(build_thread_, &QThread::finished, this, &TfmMain::BuildDone);
  build_thread_->start();
}

// The build stops before its next step; BuildDone follows.
void TfmMain::CancelBuild() {
  if (!Building()) return;
  cancel_ = true;
  Button1->setEnabled(false);
}

// Runs after the last log line of the build has reached the pane.
void TfmMain::BuildDone() {
  build_thread_->deleteLater();
  build_thread_ = nullptr;
  book_->Converter = building_->Converter;  // kept until a later build replaces it
  book_->LogFileName = building_->LogFileName;
  building_.reset();
  ProgressBar1->setVisible(false);
  Button1->setText("Start");
  Button1->setEnabled(true);
  Button7->setEnabled(true);
  emit BuildFinished();
  if (close_when_built_) close();
}

void TfmMain::AppendLogLine(const QString& line) {
  Memo2->appendPlainText(line);
  if (std::optional<PartProgress> progress = PartProgressOf(line)) {
    ProgressBar1->setRange(0, progress->parts);
    ProgressBar1->setValue(progress->part);
    ProgressBar1->setFormat("Part %v of %m");
  }
}

void TfmMain::SettingsFromControls() {
  TVelkaro book = *book_;
  book.FileVersion = ReadFileVersion();
  book.BookName = ToAnsi(Edit2->text());
  book.BookInfo = ToAnsi(Edit6->text());
  book.BookMode = PageControl1->currentIndex() == 0;
  book.SplashFileName = CheckBox3->isChecked() ? ToAnsi(Edit1->text()) : "";
  book.IconFileName = CheckBox5->isChecked() ? ToAnsi(Edit7->text()) : "";
  book.FontColor = font_color_;
  book.BackColor = back_color_;
  book.Compression = ComboBox10->currentIndex() + 1;
  if (book.BookMode) {
    FillTextBookSettings(book);
  } else {
    FillPhotoBookSettings(book);
  }
  const std::filesystem::path program = paths_.program_folder.toStdString();
  book.MidletsFolder = (program / "midlets").string();
  book.TempFolder = (program / "temp").string();
  *book_ = std::move(book);
}

void TfmMain::FillTextBookSettings(TVelkaro& book) const {
  book.TextFileName = ToAnsi(Edit3->text());
  book.Format = CheckBox1->isChecked();
  book.Tags = CheckBox6->isChecked() || Edit9->isEnabled();
  book.ImagePngOptions = ToAnsi(Edit10->text().trimmed());
  book.ImageJpgOptions = ToAnsi(Edit11->text().trimmed());
  book.ImageMode = ComboBox7->currentIndex();
  book.ImageSize = IntegerOf(Edit9->text());
  book.PortraitLayout = CheckBox4->isChecked();
  if (ComboBox4->currentIndex() == 1) {
    book.Font.reset();
  } else {
    book.Font = preview_font_;
  }
  book.WordWrap = CheckBox2->isChecked();
  book.PartSize = IntegerOf(Edit5->text());
  book.LineSpacing = IntegerOf(ComboBox2->currentText());
  book.CharSpacing = IntegerOf(ComboBox3->currentText());
  book.PasswordMode = ComboBox5->currentIndex();
  book.Password = book.PasswordMode != 0 ? IntegerOf(Edit8->text()) : 0;
  book.Encoding = ComboBox8->currentIndex() > 0 ? ToAnsi(ComboBox8->currentText()) : "";
  book.JoinLines = CheckBox7->isChecked();
  book.StyleHeadings = CheckBox8->isChecked();
  book.MaxJarSize = PackageSizeOf(ComboBox9->currentText());
}

// The photo page's own choice decides whether photos are converted; the
// text page's picture mode, hidden here, does not carry over.
void TfmMain::FillPhotoBookSettings(TVelkaro& book) const {
  book.ImageFiles = image_list_->Files();
  book.ImageNotes = image_list_->Notes();
  book.ImageMode = PhotoImageMode(ComboBox11->currentIndex());
  book.ImagePngOptions = ToAnsi(Edit10->text().trimmed());
  book.ImageJpgOptions = ToAnsi(Edit11->text().trimmed());
}

}  // namespace velkaro
