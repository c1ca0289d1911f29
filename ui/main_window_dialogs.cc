// The window's dialogs, messages and the photo list's buttons.
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QPainter>
#include <QUrl>
#include <cstdlib>
#include <limits>

#include "platform/file_version.h"
#include "ui/ansi_text.h"
#include "ui/developer_tools.h"
#include "ui/get_more.h"
#include "ui/main_window.h"

namespace velkaro {
namespace {

constexpr char kImageFilter[] = "*.png;;*.jpg;;*.gif";

constexpr char kImageMagickMessage[] =
    "ImageMagick is free software for resizing and converting images.\r\n"
    "Velkaro carries it inside, so there is nothing more to install.\r\n"
    "https://imagemagick.org";

// A small swatch of the colour a button sets.
QIcon Swatch(int32_t bgr) {
  QPixmap pixmap(14, 14);
  pixmap.fill(ColorOf(bgr));
  QPainter(&pixmap).drawRect(0, 0, 13, 13);
  return QIcon(pixmap);
}

// The face's own style name for the weight and slant asked for, so that the
// font dialog preselects that style and not merely the family's first. Of
// equal matches the shortest name wins: "Book" before "Condensed".
QString StyleNameOf(const QString& family, bool bold, bool italic) {
  const int weight = bold ? QFont::Bold : QFont::Normal;
  QString best;
  int best_distance = std::numeric_limits<int>::max();
  for (const QString& style : QFontDatabase::styles(family)) {
    const QFont face = QFontDatabase::font(family, style, 12);
    if ((face.style() != QFont::StyleNormal) != italic) continue;
    const int distance = std::abs(face.weight() - weight);
    if (distance < best_distance || (distance == best_distance && style.size() < best.size())) {
      best = style;
      best_distance = distance;
    }
  }
  return best;
}

QFont QtFontOf(const DesktopFont& font) {
  const QString family = QString::fromStdString(font.Name);
  QFont qt(family, font.Size);
  qt.setBold(font.Bold);
  qt.setItalic(font.Italic);
  const QString style = StyleNameOf(family, font.Bold, font.Italic);
  if (!style.isEmpty()) qt.setStyleName(style);
  return qt;
}

// Oblique faces count as italic, and anything from semi-bold up as bold.
DesktopFont DesktopFontOf(const QFont& font, int size_if_unknown) {
  return DesktopFont{.Name = ToAnsi(font.family()),
                     .Size = font.pointSize() > 0 ? font.pointSize() : size_if_unknown,
                     .Bold = font.weight() >= QFont::DemiBold,
                     .Italic = font.style() != QFont::StyleNormal};
}

}  // namespace

void TfmMain::Button4Click() {
  const QString path = QFileDialog::getOpenFileName(this, "Select source text file");
  if (path.isEmpty()) return;
  Edit3->setText(path);
  LoadSourceAndPreview();
}

QString TfmMain::ChooseImage() {
  return QFileDialog::getOpenFileName(this, "Select image", QString(), kImageFilter);
}

void TfmMain::Button9Click() {
  const QString path = ChooseImage();
  if (!path.isEmpty()) Edit1->setText(path);
}

void TfmMain::Button11Click() {
  const QString path = ChooseImage();
  if (!path.isEmpty()) Edit7->setText(path);
}

void TfmMain::Button5Click() {
  bool chosen = false;
  const QFont font = QFontDialog::getFont(&chosen, QtFontOf(preview_font_), this, QString(),
                                          QFontDialog::DontUseNativeDialog);
  if (!chosen) return;
  preview_font_ = DesktopFontOf(font, preview_font_.Size);
  Edit4->setText(font.family());
  RenderPreview();
  Label11->setText(QString::number(letter_height_));
}

void TfmMain::BitBtn1Click() {
  const QColor color = QColorDialog::getColor(ColorOf(font_color_), this);
  if (!color.isValid()) return;
  SetWindowColors(BgrOf(color), back_color_);
  RenderPreview();
}

void TfmMain::BitBtn2Click() {
  const QColor color = QColorDialog::getColor(ColorOf(back_color_), this);
  if (!color.isValid()) return;
  SetWindowColors(font_color_, BgrOf(color));
  RenderPreview();
}

void TfmMain::ShowColors() {
  BitBtn1->setIcon(Swatch(font_color_));
  BitBtn2->setIcon(Swatch(back_color_));
  BitBtn3->setIcon(Swatch(back_color_));
}

void TfmMain::Button7Click() {
  QDesktopServices::openUrl(QUrl::fromLocalFile(FromAnsi(book_->MidletsFolder)));
}

void TfmMain::Label16Click() {
  ShowMessage(QMessageBox::Information, "ImageMagick", kImageMagickMessage);
}

void TfmMain::Button3Click() {
  ShowMessage(QMessageBox::Information, "About", AboutText(FromAnsi(ReadFileVersion())));
}

void TfmMain::Button10Click() { TfmGetMore(this).exec(); }

void TfmMain::SelectImageRow(int row) {
  const int column = std::max(sgImages->currentColumn(), 1);
  sgImages->setCurrentCell(row - 1, column);
}

void TfmMain::BitBtn4Click() {
  const QString path = ChooseImage();
  if (path.isEmpty()) return;
  ReportFailures([&] { image_list_->Add(path); });
}

void TfmMain::BitBtn5Click() {
  ReportFailures([this] { image_list_->Remove(sgImages->currentRow() + 1); });
}

void TfmMain::BitBtn6Click() { SelectImageRow(image_list_->Up(sgImages->currentRow() + 1)); }

void TfmMain::BitBtn7Click() { SelectImageRow(image_list_->Down(sgImages->currentRow() + 1)); }

void TfmMain::ReportFailures(const std::function<void()>& tool) {
  try {
    tool();
  } catch (const std::exception& e) {
    ShowMessage(QMessageBox::Critical, "Velkaro", FromAnsi(e.what()));
  }
}

void TfmMain::Button2Click() {
  const QString path = QFileDialog::getOpenFileName(this);
  if (!path.isEmpty()) ReportFailures([&] { ExportHex(ToAnsi(path)); });
}

void TfmMain::Button6Click() {
  for (const std::string& line : TextTestLines()) AppendLogLine(FromAnsi(line));
}

void TfmMain::Button8Click() {
  ReportFailures([this] { FontTest(*book_, ToAnsi(Edit3->text()), preview_font_); });
}

}  // namespace velkaro
