// Which controls are enabled for the chosen settings, and the handlers that keep it so.
#include <QShortcut>

#include "ui/main_window.h"

namespace velkaro {
namespace {

constexpr char kTagsMessage[] =
    "Insert into your text tags like following:\r\n"
    "<img picture_file_name>\r\n"
    "and you will have a book with pictures.\r\n"
    "Use full path for files, for example:\r\n"
    "<img /home/anna/books/pictures/chapter1.png>\r\n"
    "use tags to make contents:\r\n"
    "<p1> - Introduction\r\n"
    "<p2> - Chapter\r\n"
    "<p3> - Section";

}  // namespace

void TfmMain::ConnectHandlers() {
  for (QComboBox* list : {ComboBox1, ComboBox2, ComboBox3}) {
    connect(list, &QComboBox::activated, this, &TfmMain::ComboBox1Change);
  }
  connect(ComboBox4, &QComboBox::activated, this, &TfmMain::ComboBox4Change);
  connect(ComboBox5, &QComboBox::activated, this, &TfmMain::ComboBox5Change);
  connect(ComboBox6, &QComboBox::activated, this, &TfmMain::ComboBox6Change);
  connect(ComboBox7, &QComboBox::activated, this, &TfmMain::ComboBox7Change);
  for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox4}) {
    connect(box, &QCheckBox::toggled, this, &TfmMain::CheckBox2Click);
  }
  connect(CheckBox3, &QCheckBox::toggled, this, &TfmMain::CheckBox3Click);
  connect(CheckBox5, &QCheckBox::toggled, this, &TfmMain::CheckBox5Click);
  connect(CheckBox6, &QCheckBox::toggled, this, &TfmMain::CheckBox6Click);
  connect(PageControl1, &QTabWidget::currentChanged, this, &TfmMain::PageControl1Change);
  // How the source is read: a change reads it anew.
  connect(ComboBox8, &QComboBox::activated, this, &TfmMain::ReloadPreviewText);
  connect(CheckBox7, &QCheckBox::clicked, this, &TfmMain::ReloadPreviewText);
  connect(Edit3, &QLineEdit::returnPressed, this, &TfmMain::LoadSourceAndPreview);

  const std::pair<QPushButton*, void (TfmMain::*)()> clicks[] = {
      {Button1, &TfmMain::Button1Click},   {Button2, &TfmMain::Button2Click},
      {Button3, &TfmMain::Button3Click},   {Button4, &TfmMain::Button4Click},
      {Button5, &TfmMain::Button5Click},   {Button6, &TfmMain::Button6Click},
      {Button7, &TfmMain::Button7Click},   {Button8, &TfmMain::Button8Click},
      {Button9, &TfmMain::Button9Click},   {Button10, &TfmMain::Button10Click},
      {Button11, &TfmMain::Button11Click}, {BitBtn1, &TfmMain::BitBtn1Click},
      {BitBtn2, &TfmMain::BitBtn2Click},   {BitBtn3, &TfmMain::BitBtn2Click},
      {BitBtn4, &TfmMain::BitBtn4Click},   {BitBtn5, &TfmMain::BitBtn5Click},
      {BitBtn6, &TfmMain::BitBtn6Click},   {BitBtn7, &TfmMain::BitBtn7Click}};
  for (auto [button, handler] : clicks) connect(button, &QPushButton::clicked, this, handler);
  connect(Label16, &QLabel::linkActivated, this, &TfmMain::Label16Click);
  connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &TfmMain::CancelBuild);
}

// Edits and lists also take the window's colour when off, so a disabled
// field reads as part of the panel.
void TfmMain::SetControlEnabled(QWidget* control, bool on) {
  if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control)) {
    QPalette colors = control->palette();
    colors.setColor(QPalette::Base, on ? Edit2->palette().color(QPalette::Active, QPalette::Base)
                                       : palette().color(QPalette::Window));
    control->setPalette(colors);
    control->setEnabled(on);
  } else if (qobject_cast<QCheckBox*>(control) || qobject_cast<QPushButton*>(control)) {
    control->setEnabled(on);
  }
}

void TfmMain::SetSourceKindControls(bool via_word) {
  SetControlEnabled(ComboBox7, via_word);
  SetControlEnabled(CheckBox8, via_word);
  SetControlEnabled(Edit9, via_word);
  SetControlEnabled(CheckBox6, !via_word);
  SetControlEnabled(Edit5, !via_word);
}

void TfmMain::ComboBox1Change() { RenderPreview(); }

void TfmMain::ComboBox4Change() {
  const bool on = ComboBox4->currentIndex() != 1;
  for (QLabel* label : {Label10, Label2, Label11}) label->setEnabled(on);
  for (QWidget* control : std::initializer_list<QWidget*>{Edit4, Button5, CheckBox4}) {
    SetControlEnabled(control, on);
  }
  if (!on) CheckBox4->setChecked(true);  // phone fonts only come in portrait
}

void TfmMain::ComboBox5Change() { SetControlEnabled(Edit8, ComboBox5->currentIndex() != 0); }

void TfmMain::ComboBox6Change() {
  Edit10->setVisible(ComboBox6->currentIndex() == 0);
  Edit11->setVisible(ComboBox6->currentIndex() != 0);
}

void TfmMain::ComboBox7Change() {
  const int mode = ComboBox7->currentIndex();
  const bool converts = mode >= 4 && mode <= 6;
  for (QWidget* control : std::initializer_list<QWidget*>{Edit10, Edit11, ComboBox6}) {
    SetControlEnabled(control, converts);
  }
  SetControlEnabled(Edit9, mode >= 1 && mode <= 3);
}

// Shared by Word wrap and Portrait layout: only the user's own change redraws.
void TfmMain::CheckBox2Click() {
  if (CheckBox1->hasFocus() || CheckBox2->hasFocus() || CheckBox4->hasFocus()) RenderPreview();
}

void TfmMain::CheckBox3Click() {
  SetControlEnabled(Edit1, CheckBox3->isChecked());
  SetControlEnabled(Button9, CheckBox3->isChecked());
}

void TfmMain::CheckBox5Click() {
  SetControlEnabled(Edit7, CheckBox5->isChecked());
  SetControlEnabled(Button11, CheckBox5->isChecked());
}

void TfmMain::CheckBox6Click() {
  if (CheckBox6->hasFocus()) {
    if (CheckBox6->isChecked()) {
      ShowMessage(QMessageBox::Information, "Tags analysis is enabled", kTagsMessage);
    }
    RenderPreview();
  }
  if (CheckBox6->isEnabled()) SetControlEnabled(Edit5, !CheckBox6->isChecked());
}

void TfmMain::PageControl1Change() {
  RenderPreview();
  Label11->setText(QString::number(letter_height_));
}

}  // namespace velkaro
