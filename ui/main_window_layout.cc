// The controls of the main window and where they stand.
#include <QAbstractSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "ui/main_window.h"
#include "ui/setting_choices.h"

namespace velkaro {
namespace {

template <typename Control, typename... Args>
Control* Named(const char* name, Args&&... args) {
  auto* control = new Control(std::forward<Args>(args)...);
  control->setObjectName(name);
  return control;
}

QComboBox* DropDown(const char* name, const QStringList& items) {
  auto* list = Named<QComboBox>(name);
  list->addItems(items);
  return list;
}

QPushButton* BrowseButton(const char* name) {
  auto* button = Named<QPushButton>(name, "...");
  button->setFixedWidth(32);
  return button;
}

// An edit with its "..." button on one row.
QWidget* WithButton(QWidget* field, QWidget* button) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(field, 1);
  layout->addWidget(button);
  return row;
}

QWidget* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget : widgets) layout->addWidget(widget);
  layout->addStretch(1);
  return row;
}

QFormLayout* Form(QWidget* parent) {
  auto* form = new QFormLayout(parent);
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return form;
}

// The text encodings a source may be read in; the first item leaves the choice to the text.
const QStringList kEncodings = {"Automatic",  "UTF-8",      "UTF-16LE",   "UTF-16BE",   "CP1251",
                                "KOI8-R",     "CP866",      "ISO-8859-5", "CP1250",     "CP1252",
                                "ISO-8859-1", "ISO-8859-2", "CP1253",     "CP1254",     "CP1255",
                                "CP1256",     "CP1257",     "ISO-8859-7", "ISO-8859-9", "KOI8-U"};

// The preview panel holds a 240 by 240 part of the screen at least; the
// window gives it room for the whole 240 by 320 screen where it can.
constexpr int kLeastScreen = 240;

}  // namespace

QWidget* TfmMain::MakeSettingsPanel() {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* book = new QWidget;
  auto* form = Form(book);
  form->setContentsMargins(0, 0, 0, 0);
  Label8 = Named<QLabel>("Label8", "Book name (midlet name)");
  Edit2 = Named<QLineEdit>("Edit2");
  Label5 = Named<QLabel>("Label5", "Information about book, author etc.");
  Edit6 = Named<QLineEdit>("Edit6");
  form->addRow(Label8, Edit2);
  form->addRow(Label5, Edit6);
  layout->addWidget(book);

  PageControl1 = Named<QTabWidget>("PageControl1");
  PageControl1->addTab(MakeTextBookPage(), "Text book");
  PageControl1->addTab(MakePhotoBookPage(), "Photo book (Gallery)");
  layout->addWidget(PageControl1, 1);
  return panel;
}

// Password, compression, splash picture and icon serve both kinds of book.
QWidget* TfmMain::MakePackageGroup() {
  auto* package = Named<QGroupBox>("GroupBox4", "Package");
  ComboBox5 = DropDown("ComboBox5", {"No password", "Ask password once", "Ask password each time"});
  Edit8 = Named<QLineEdit>("Edit8", "8736");
  Edit8->setMaxLength(6);
  Edit8->setMaximumWidth(80);
  Label22 = Named<QLabel>("Label22", "Compression");
  ComboBox10 = DropDown("ComboBox10", kCompressionLevels);
  CheckBox3 = Named<QCheckBox>("CheckBox3", "Add image (PNG file only) for splash screen");
  Edit1 = Named<QLineEdit>("Edit1");
  Button9 = BrowseButton("Button9");
  CheckBox5 = Named<QCheckBox>("CheckBox5", "Add image (PNG file only) as an icon for midlet");
  Edit7 = Named<QLineEdit>("Edit7");
  Button11 = BrowseButton("Button11");
  auto* rows = new QVBoxLayout(package);
  rows->addWidget(Row({ComboBox5, Edit8, Label22, ComboBox10}));
  rows->addWidget(CheckBox3);
  rows->addWidget(WithButton(Edit1, Button9));
  rows->addWidget(CheckBox5);
  rows->addWidget(WithButton(Edit7, Button11));
  return package;
}

// Two columns: where the text comes from and its pictures on the left, how
// it looks on the right.
QWidget* TfmMain::MakeTextBookPage() {
  auto* page = Named<QWidget>("TabSheet1");
  auto* columns = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  columns->addLayout(left, 4);
  columns->addLayout(right, 3);

  auto* source = Named<QGroupBox>("GroupBox1", "Source");
  auto* form = Form(source);
  Label9 = Named<QLabel>("Label9", "Source file");
  Edit3 = Named<QLineEdit>("Edit3");
  Button4 = BrowseButton("Button4");
  Label7 = Named<QLabel>("Label7", "File size");
  Label19 = Named<QLabel>("Label19", "Text encoding");
  ComboBox8 = DropDown("ComboBox8", kEncodings);
  CheckBox7 = Named<QCheckBox>("CheckBox7", "Join hard-wrapped lines");
  CheckBox1 = Named<QCheckBox>("CheckBox1", "Format text for displaying");
  CheckBox1->setChecked(true);
  CheckBox6 = Named<QCheckBox>("CheckBox6", "Analyse tags in plain text");
  CheckBox8 = Named<QCheckBox>("CheckBox8", "Headings from paragraph styles");
  CheckBox8->setChecked(true);
  Label3 = Named<QLabel>("Label3", "Max size of text part (bytes)");
  Edit5 = Named<QLineEdit>("Edit5", "90000");
  Label20 = Named<QLabel>("Label20", "Max size of package");
  ComboBox9 = DropDown("ComboBox9", kPackageSizes);
  ComboBox9->setEditable(true);
  form->addRow(Label9, WithButton(Edit3, Button4));
  form->addRow(Label19, ComboBox8);
  form->addRow(nullptr, Label7);
  form->addRow(Row({CheckBox7, CheckBox1}));
  form->addRow(Row({CheckBox6, CheckBox8}));
  form->addRow(Label3, Edit5);
  form->addRow(Label20, ComboBox9);
  left->addWidget(source);

  auto* pictures = Named<QGroupBox>("GroupBox2", "Pictures");
  form = Form(pictures);
  ComboBox7 = DropDown("ComboBox7", {"Do not import pictures", "Import smallest (PNG or JPEG)",
                                     "Import PNG only", "Import JPEG only",
                                     "Import, resize, convert and choose smallest (PNG or JPEG) "
                                     "using ImageMagick",
                                     "Import, resize and convert to PNG using ImageMagick",
                                     "Import, resize and convert to JPEG using ImageMagick"});
  ComboBox7->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ComboBox7->setMinimumContentsLength(20);
  Label16 = Named<QLabel>("Label16", "<a href=\"#\">Image Magick</a>");
  Label16->setCursor(Qt::PointingHandCursor);
  Label17 = Named<QLabel>("Label17", "options for");
  ComboBox6 = DropDown("ComboBox6", {"PNG", "JPG"});
  Edit10 = Named<QLineEdit>("Edit10", "-resize 160x128> -quality 100 -depth 8");
  Edit11 = Named<QLineEdit>("Edit11", "-resize 160x128> -depth 8");
  Label18 = Named<QLabel>("Label18", "Max image size (in bytes)");
  Edit9 = Named<QLineEdit>("Edit9", "10000");
  form->addRow(ComboBox7);
  auto* options = new QWidget;  // Edit10 and Edit11 share one place
  auto* options_layout = new QHBoxLayout(options);
  options_layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget : std::initializer_list<QWidget*>{Label16, Label17, ComboBox6}) {
    options_layout->addWidget(widget);
  }
  options_layout->addWidget(Edit10, 1);
  options_layout->addWidget(Edit11, 1);
  form->addRow(options);
  form->addRow(Label18, Edit9);
  left->addWidget(pictures);
  left->addStretch(1);

  auto* looks = Named<QGroupBox>("GroupBox3", "Font and layout");
  auto* grid = new QGridLayout(looks);
  ComboBox4 =
      DropDown("ComboBox4", {"Use desktop and phone fonts (large midlet without limitations)",
                             "Use phone fonts only (small midlet with some display limitations)"});
  ComboBox4->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ComboBox4->setMinimumContentsLength(20);
  Label10 = Named<QLabel>("Label10", "Font");
  Edit4 = Named<QLineEdit>("Edit4");
  Edit4->setReadOnly(true);
  Button5 = BrowseButton("Button5");
  Label2 = Named<QLabel>("Label2", "Letter height (in pixels, 32 max):");
  Label11 = Named<QLabel>("Label11", "10");
  BitBtn1 = Named<QPushButton>("BitBtn1", "Font Color");
  BitBtn2 = Named<QPushButton>("BitBtn2", "Back Color");
  Label4 = Named<QLabel>("Label4", "Line spacing");
  ComboBox2 = DropDown("ComboBox2", {"-1", "0", "1"});
  Label6 = Named<QLabel>("Label6", "Char spacing");
  ComboBox3 = DropDown("ComboBox3", {"-1", "0", "1"});
  CheckBox2 = Named<QCheckBox>("CheckBox2", "Word wrap");
  CheckBox4 = Named<QCheckBox>("CheckBox4", "Portrait layout");
  CheckBox2->setChecked(true);
  CheckBox4->setChecked(true);
  grid->addWidget(ComboBox4, 0, 0, 1, 4);
  grid->addWidget(Label10, 1, 0);
  grid->addWidget(WithButton(Edit4, Button5), 1, 1, 1, 3);
  grid->addWidget(Row({Label2, Label11}), 2, 0, 1, 4);
  grid->addWidget(Label4, 3, 0);
  grid->addWidget(ComboBox2, 3, 1);
  grid->addWidget(Label6, 3, 2);
  grid->addWidget(ComboBox3, 3, 3);
  grid->addWidget(BitBtn1, 4, 0, 1, 2);
  grid->addWidget(BitBtn2, 4, 2, 1, 2);
  grid->addWidget(CheckBox2, 5, 0, 1, 2);
  grid->addWidget(CheckBox4, 5, 2, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  right->addWidget(looks);
  right->addStretch(1);
  return page;
}

QWidget* TfmMain::MakePhotoBookPage() {
  auto* page = Named<QWidget>("TabSheet2");
  auto* layout = new QVBoxLayout(page);
  sgImages = Named<QTableWidget>("sgImages");
  layout->addWidget(sgImages, 1);

  Label13 = Named<QLabel>("Label13", "Images:");
  Label14 = Named<QLabel>("Label14", "0");
  Label12 = Named<QLabel>("Label12", "Total size:");
  Label15 = Named<QLabel>("Label15", "0 bytes");
  layout->addWidget(Row({Label13, Label14, Label12, Label15}));

  Label21 = Named<QLabel>("Label21", "Photos");
  ComboBox11 = DropDown("ComboBox11", kPhotoModes);
  layout->addWidget(Row({Label21, ComboBox11}));

  BitBtn3 = Named<QPushButton>("BitBtn3", "Back Color");
  BitBtn4 = Named<QPushButton>("BitBtn4", "Add image");
  BitBtn5 = Named<QPushButton>("BitBtn5", "Remove image");
  BitBtn6 = Named<QPushButton>("BitBtn6", "Up");
  BitBtn7 = Named<QPushButton>("BitBtn7", "Down");
  layout->addWidget(Row({BitBtn3, BitBtn4, BitBtn5, BitBtn6, BitBtn7}));
  return page;
}

// The phone screen with its resolution above and the package settings below.
QWidget* TfmMain::MakePreviewPanel() {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  Label1 = Named<QLabel>("Label1", "Preview  for phone screen resolution:");
  ComboBox1 = DropDown("ComboBox1", {"101*60", "128*128", "128*160", "130*130", "132*176",
                                     "176*208", "176*220", "208*208", "240*320"});
  layout->addWidget(Row({Label1, ComboBox1}));

  ImagePanel = Named<QWidget>("ImagePanel");
  ImagePanel->setMinimumSize(kLeastScreen, kLeastScreen);
  Image1 = Named<QLabel>("Image1", ImagePanel);
  Image1->setGeometry(0, 0, 640, 480);
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ImagePanel->installEventFilter(this);
  layout->addWidget(ImagePanel, 1);
  layout->addWidget(MakePackageGroup());
  return panel;
}

QWidget* TfmMain::MakeBottomBar() {
  Button1 = Named<QPushButton>("Button1", "Start");
  Button1->setDefault(true);
  Button7 = Named<QPushButton>("Button7", "Show midlets");
  Button7->setEnabled(false);
  Button10 = Named<QPushButton>("Button10", "Get more");
  Button3 = Named<QPushButton>("Button3", "About");
  Button2 = Named<QPushButton>("Button2", "Hex");
  Button6 = Named<QPushButton>("Button6", "Text");
  Button8 = Named<QPushButton>("Button8", "Font");
  for (QPushButton* tool : {Button2, Button6, Button8}) tool->setVisible(false);
  ProgressBar1 = Named<QProgressBar>("ProgressBar1");
  ProgressBar1->setVisible(false);

  auto* bar = new QWidget;
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* button : {Button1, Button7, Button2, Button6, Button8}) layout->addWidget(button);
  layout->addWidget(ProgressBar1, 1);
  layout->addStretch(1);
  layout->addWidget(Button10);
  layout->addWidget(Button3);
  return bar;
}

void TfmMain::KeepWheelOffLists() {
  for (QWidget* control : findChildren<QWidget*>()) {
    if (qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractSpinBox*>(control)) {
      control->setFocusPolicy(Qt::StrongFocus);  // the wheel does not focus them either
      control->installEventFilter(this);
    }
  }
}

}  // namespace velkaro
