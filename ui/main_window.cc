#include "ui/main_window.h"

#include <QCloseEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

#include "imaging/magick_converter.h"
#include "ui/ansi_text.h"

namespace velkaro {
namespace {

constexpr char16_t kFirstPreviewText[] =
    u"This is a part of the text file that should be converted to jar file.";

}  // namespace

TfmMain::TfmMain(const WindowPaths& paths, QWidget* parent)
    : QMainWindow(parent),
      paths_(paths),
      pane_log_([this](const QString& line) { AppendLogLine(line); }),
      thread_log_(this, [this](const QString& line) { AppendLogLine(line); }),
      preview_text_(kFirstPreviewText),
      surface_(640, 480, QImage::Format_RGB32) {
  setObjectName("fmMain");
  setWindowTitle("Velkaro");

  auto* upper = new QWidget;
  auto* upper_layout = new QHBoxLayout(upper);
  upper_layout->setContentsMargins(0, 0, 0, 0);
  upper_layout->addWidget(MakeSettingsPanel());
  upper_layout->addWidget(MakePreviewPanel(), 1);
  upper->setMinimumSize(720, 345);

  Memo2 = new QPlainTextEdit;
  Memo2->setObjectName("Memo2");
  Memo2->setReadOnly(true);
  Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  auto* splitter = new QSplitter(Qt::Vertical);
  splitter->addWidget(upper);
  splitter->addWidget(Memo2);
  splitter->setStretchFactor(0, 1);
  splitter->setCollapsible(0, false);
  splitter->setSizes({700, 140});

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(splitter, 1);
  layout->addWidget(MakeBottomBar());
  setCentralWidget(central);

  image_list_ = std::make_unique<TImageList>(sgImages, Label14, Label15);
  const QRect desktop = screen()->availableGeometry();
  resize(QSize(1024, 900).boundedTo(desktop.size()));
  move(desktop.center() - rect().center());
  ConnectHandlers();
  surface_.fill(palette().color(QPalette::Window));
}

TfmMain::~TfmMain() {
  if (build_thread_) build_thread_->wait();
}

void TfmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FormActivate();
}

void TfmMain::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ImagePanel && event->type() == QEvent::Resize) RenderPreview();
  return QMainWindow::eventFilter(watched, event);
}

void TfmMain::FormActivate() {
  if (activated_.isValid()) return;
  activated_ = QDateTime::currentDateTime();
  book_ = std::make_unique<TVelkaro>(TVelkaro::CreateDefault());
  book_->CreateConverter = CreateMagickConverter;

  for (auto [list, index] : {std::pair{ComboBox1, 8},
                             {ComboBox2, 1},
                             {ComboBox3, 1},
                             {ComboBox4, 0},
                             {ComboBox5, 0},
                             {ComboBox6, 0},
                             {ComboBox7, 2},
                             {ComboBox8, 0}}) {
    list->setCurrentIndex(index);
  }
  Edit2->setText("TestBook");
  Edit6->setText("A phone book made with Velkaro");
  Edit3->setText("readme.txt");
  preview_text_ = kFirstPreviewText;
  SetWindowColors(0, 0xFFFFFF);
  preview_font_ = DesktopFont();
  Edit4->setText(FromAnsi(preview_font_.Name));

  RestoreState();
  for (QLineEdit* edit : findChildren<QLineEdit*>())
    edit->home(false);  // show texts from their start
  LoadSourceAndPreview();
  Label11->setText(QString::number(letter_height_));
  ComboBox4Change();
  ComboBox5Change();
  ComboBox7Change();
  ComboBox6Change();
  CheckBox3Click();
  CheckBox5Click();
  Edit2->setFocus();
}

// Any failure leaves the values restored so far.
void TfmMain::RestoreState() {
  try {
    const IniFile ini = LoadWindowState(paths_);
    RestoreControls(this, ini);
    SetWindowColors(ini.ReadInteger("Colors", "Font.Color", font_color_),
                    ini.ReadInteger("Colors", "Color", back_color_));
    preview_font_.Size = ini.ReadInteger("Font", "Font.Size", preview_font_.Size);
    preview_font_.Name = ini.ReadString("Font", "Font.Name", preview_font_.Name);
    preview_font_.Bold = ini.ReadBool("Font", "Font.Bold", false);
    preview_font_.Italic = ini.ReadBool("Font", "Font.Italic", false);
    Edit4->setText(FromAnsi(preview_font_.Name));
    QSignalBlocker quiet(PageControl1);
    PageControl1->setCurrentIndex(ini.ReadInteger("Mode", "BookType", 0));
    image_list_->Load(ini);
  } catch (const std::exception&) {
    // A damaged state file only costs the user the last session's values.
  }
}

void TfmMain::FormClose() {
  if (build_thread_) build_thread_->wait();
  try {
    IniFile ini = LoadWindowState(paths_);
    SaveControls(this, ini);
    ini.WriteInteger("Colors", "Font.Color", font_color_);
    ini.WriteInteger("Colors", "Color", back_color_);
    ini.WriteInteger("Font", "Font.Size", preview_font_.Size);
    ini.WriteString("Font", "Font.Name", preview_font_.Name);
    ini.WriteBool("Font", "Font.Bold", preview_font_.Bold);
    ini.WriteBool("Font", "Font.Italic", preview_font_.Italic);
    ini.WriteInteger("Mode", "BookType", PageControl1->currentIndex());
    image_list_->Save(ini);
    SaveWindowState(paths_, ini);
  } catch (const std::exception&) {
    // The window closes whether or not its state could be kept.
  }
}

void TfmMain::SetWindowColors(int32_t font_color, int32_t back_color) {
  font_color_ = font_color;
  back_color_ = back_color;
  ShowColors();
}

void TfmMain::ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, this);
  box.exec();
}

}  // namespace velkaro
