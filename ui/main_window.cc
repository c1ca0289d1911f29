#include "ui/main_window.h"

#include <QCloseEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

#include "imaging/magick_converter.h"
#include "ui/ansi_text.h"
#include "ui/window_look.h"

namespace velkaro {
namespace {

constexpr char16_t kFirstPreviewText[] =
    u"This is a part of the text file that should be converted to jar file.";

// The log pane never shrinks below this many lines.
constexpr int kLogLinesShown = 3;
// What the preview panel wants beyond its least height: a whole 240 by 320 screen.
constexpr int kScreenRoom = 320 - 240;

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
  setWindowIcon(VelkaroIcon());

  auto* upper = new QWidget;
  auto* upper_layout = new QHBoxLayout(upper);
  upper_layout->setContentsMargins(0, 0, 0, 0);
  upper_layout->addWidget(MakeSettingsPanel(), 3);
  upper_layout->addWidget(MakePreviewPanel(), 2);

  Memo2 = new QPlainTextEdit;
  Memo2->setObjectName("Memo2");
  Memo2->setReadOnly(true);
  Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo2->setMinimumHeight(kLogLinesShown * Memo2->fontMetrics().lineSpacing() +
                          2 * Memo2->frameWidth() + 8);

  Splitter1 = new QSplitter(Qt::Vertical);
  Splitter1->addWidget(upper);
  Splitter1->addWidget(Memo2);
  Splitter1->setStretchFactor(0, 1);
  Splitter1->setCollapsible(0, false);
  Splitter1->setCollapsible(1, false);

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(Splitter1, 1);
  layout->addWidget(MakeBottomBar());
  setCentralWidget(central);
  MakeFileMenu();

  image_list_ = std::make_unique<TImageList>(sgImages, Label14, Label15);
  ConnectHandlers();
  KeepWheelOffLists();
  setMinimumSize(minimumSizeHint());
  const QRect desktop = screen()->availableGeometry();
  resize(WindowSizeFor(desktop.size(), minimumSize()));
  move(desktop.center() - rect().center());
  surface_.fill(palette().color(QPalette::Window));
}

TfmMain::~TfmMain() {
  if (build_thread_) build_thread_->wait();
}

void TfmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FormActivate();
}

// The settings and the whole phone screen first; the log takes the rest.
void TfmMain::GiveRoomToTheScreen() {
  const int upper = Splitter1->widget(0)->sizeHint().height() + kScreenRoom;
  Splitter1->setSizes({upper, std::max(Splitter1->height() - upper, Memo2->minimumHeight())});
}

// A running build is cancelled first, when the user agrees; the window
// closes once it has stopped.
void TfmMain::closeEvent(QCloseEvent* event) {
  if (Building()) {
    event->ignore();
    if (Ask("Velkaro", "A build is running. Cancel it and close the window?")) {
      close_when_built_ = true;
      CancelBuild();
    }
    return;
  }
  FormClose();
  event->accept();
}

// The wheel scrolls past lists and number boxes without changing them: the
// event goes on to the parent.
bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel && watched != ImagePanel) {
    event->ignore();
    return true;
  }
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
                             {ComboBox8, 0},
                             {ComboBox10, 8},
                             {ComboBox11, 0}}) {
    list->setCurrentIndex(index);
  }
  ComboBox9->setCurrentIndex(0);
  Edit2->setText("TestBook");
  Edit6->setText("A phone book made with Velkaro");
  Edit3->setText("readme.txt");
  preview_text_ = kFirstPreviewText;
  SetWindowColors(0, 0xFFFFFF);
  preview_font_ = DesktopFont();
  Edit4->setText(FromAnsi(preview_font_.Name));

  RestoreState();
  ShowRecentProjects();
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
  GiveRoomToTheScreen();
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
    recent_projects_ = LoadRecentProjects(ini);
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
    SaveRecentProjects(ini, recent_projects_);
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

bool TfmMain::Ask(const QString& caption, const QString& text) {
  return QMessageBox::question(this, caption, text) == QMessageBox::Yes;
}

}  // namespace velkaro
