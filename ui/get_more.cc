#include "ui/get_more.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>

namespace velkaro {
namespace {

struct OtherProgram {
  const char* name;
  const char* description;
};

const OtherProgram kOtherPrograms[] = {
    {"Tide Tables",
     "High and low water for a year of harbours,\n"
     "worked out on the phone itself.\n"
     "No network needed once installed."},
    {"Pocket Atlas",
     "Small maps of every country with capitals,\n"
     "flags drawn in a few colours and a quiz\n"
     "to learn them on the way to work."},
    {"Lantern Solitaire",
     "Four card games for one player,\n"
     "large cards for small screens,\n"
     "undo as far back as you like."},
    {"Word Ladder",
     "Turn one word into another a letter at a time.\n"
     "Three hundred puzzles in three languages,\n"
     "each with a hint when you are stuck."},
};

QWidget* EntryBlock(const OtherProgram& program) {
  auto* block = new QFrame;
  block->setFixedHeight(125);
  block->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QHBoxLayout(block);
  auto* name = new QLabel(program.name);
  name->setFixedWidth(120);
  name->setAlignment(Qt::AlignCenter);
  name->setWordWrap(true);
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);
  auto* description = new QPlainTextEdit(program.description);
  description->setReadOnly(true);
  description->setFrameShape(QFrame::NoFrame);
  description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  description->setBackgroundRole(QPalette::Button);
  QPalette colors = description->palette();
  colors.setColor(QPalette::Base, colors.color(QPalette::Button));
  description->setPalette(colors);
  layout->addWidget(name);
  layout->addWidget(description, 1);
  return block;
}

}  // namespace

QString AboutText(const QString& version) {
  return "Velkaro " + version + "\r\n" +
         "Turns books into e-book midlets for MIDP 1.0 phones.\r\n" +
         "Free for any use, made by the Velkaro developers.\r\n" + kMakerSite;
}

TfmGetMore::TfmGetMore(QWidget* parent) : QDialog(parent) {
  setObjectName("fmGetMore");
  setWindowTitle("Get more my free java games...");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  resize(778, 567);
  FormCreate();
}

void TfmGetMore::FormCreate() {
  auto* layout = new QVBoxLayout(this);
  auto* strip = new QHBoxLayout;
  auto* link = new QLabel(QString("<a href=\"%1\"><b>%1</b></a>").arg(kMakerSite));
  link->setObjectName("Label2");
  link->setCursor(Qt::PointingHandCursor);
  connect(link, &QLabel::linkActivated, this, &TfmGetMore::Label2Click);
  strip->addWidget(new QLabel("Visit my site "));
  strip->addWidget(link);
  strip->addWidget(new QLabel("and get more my free java games"));
  strip->addStretch(1);
  layout->addLayout(strip);

  auto* list = new QWidget;
  auto* list_layout = new QVBoxLayout(list);
  for (const OtherProgram& program : kOtherPrograms) list_layout->addWidget(EntryBlock(program));
  list_layout->addStretch(1);
  auto* scroll = new QScrollArea;
  scroll->setWidget(list);
  scroll->setWidgetResizable(true);
  layout->addWidget(scroll, 1);
}

void TfmGetMore::Label2Click() { QDesktopServices::openUrl(QUrl(kMakerSite)); }

}  // namespace velkaro
