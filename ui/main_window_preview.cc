// The phone screen preview on the 640 by 480 surface Image1.
#include <QPainter>
#include <QPixmap>

#include "engine/phone_preview.h"
#include "ui/ansi_text.h"
#include "ui/main_window.h"
#include "ui/preview_layout.h"

namespace velkaro {
namespace {

// The engine's screen as an image; its pixels are 0x00RRGGBB as QImage's RGB32 holds them.
QImage ImageOf(const PreviewScreen& screen) {
  QImage image(screen.width, screen.height, QImage::Format_RGB32);
  for (int y = 0; y < screen.height; ++y) {
    auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
    const uint32_t* source = screen.pixels.data() + static_cast<size_t>(y) * screen.width;
    for (int x = 0; x < screen.width; ++x) line[x] = 0xFF000000u | source[x];
  }
  return image;
}

constexpr size_t kPreviewLetters = 2000;

}  // namespace

// Only the ending decides the source kind, in any case; the file itself is
// opened by the name as typed, since file names are case-sensitive here.
void TfmMain::LoadSourceAndPreview() {
  SetSourceKindControls(!Edit3->text().toLower().endsWith(".txt"));
  ReloadPreviewText();
}

// The preview reads with a settings object of its own that has no work
// folder, no log and no converter: it writes no file, not even while a build
// runs, and pictures become "<img pic" + N + ">" tags.
void TfmMain::ReloadPreviewText() {
  TVelkaro reader = TVelkaro::CreateDefault();
  reader.Encoding = ComboBox8->currentIndex() > 0 ? ToAnsi(ComboBox8->currentText()) : "";
  reader.JoinLines = CheckBox7->isChecked();
  reader.StyleHeadings = CheckBox8->isChecked();
  try {
    std::string size_text;
    const std::u16string text = reader.LoadSourceText(ToAnsi(Edit3->text()), "", &size_text);
    Label7->setText(FromAnsi(size_text));
    preview_text_ = text.substr(0, kPreviewLetters);
  } catch (const std::exception&) {
    // The preview keeps the text it had.
  }
  RenderPreview();
}

// A failure (a resolution or spacing that is not a number, a font that cannot
// be opened) leaves what was drawn so far.
void TfmMain::RenderPreview() {
  if (!activated_.isValid()) return;
  try {
    const QSize screen = PhoneScreenSize(ComboBox1->currentText(), CheckBox4->isChecked());
    const QPoint origin = PhoneScreenOrigin(ImagePanel->size(), screen);
    surface_.fill(palette().color(QPalette::Window));
    QPainter painter(&surface_);
    if (PageControl1->currentIndex() != 0) {
      painter.fillRect(QRect(origin, screen), ColorOf(back_color_));
    } else {
      const PreviewSettings settings{.width = screen.width(),
                                     .height = screen.height(),
                                     .font = preview_font_,
                                     .text_color = font_color_,
                                     .back_color = back_color_,
                                     .line_spacing = IntegerOf(ComboBox2->currentText()),
                                     .char_spacing = IntegerOf(ComboBox3->currentText()),
                                     .wrap = CheckBox2->isChecked(),
                                     .tags = CheckBox6->isChecked() || Edit9->isEnabled(),
                                     .format = CheckBox1->isChecked()};
      const PreviewScreen shot = RenderPreviewScreen(settings, preview_text_);
      letter_height_ = shot.letter_height;
      Label11->setText(QString::number(letter_height_));
      painter.drawImage(origin, ImageOf(shot));
    }
  } catch (const std::exception&) {
    // The surface keeps what was drawn before the failure.
  }
  Image1->setPixmap(QPixmap::fromImage(surface_));
}

}  // namespace velkaro
