#include "ui/image_list.h"

#include <QHeaderView>

#include "platform/files.h"
#include "ui/ansi_text.h"

namespace velkaro {
namespace {

constexpr char kTable[] = "Table";

std::string CellKey(int column, int row) {
  return std::to_string(column) + "." + std::to_string(row);
}

}  // namespace

TImageList::TImageList(QTableWidget* grid, QLabel* count, QLabel* total)
    : grid_(grid), count_(count), total_(total) {
  grid_->setColumnCount(4);
  grid_->setHorizontalHeaderLabels({QString(u'\u2116'), "File", "Size", "Notes"});
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(16);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setColumnWidth(0, 20);
  grid_->setColumnWidth(2, 60);
  grid_->setColumnWidth(3, 125);
  // The path takes the room there is, cut in the middle so that its file
  // name shows; the whole path is its tool tip.
  grid_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  grid_->setTextElideMode(Qt::ElideMiddle);
  grid_->setWordWrap(false);
  SetRowCount(1);
}

QString TImageList::Cell(int row, int column) const {
  const QTableWidgetItem* item = grid_->item(row - 1, column);
  return item ? item->text() : QString();
}

// Only notes are typed in; paths and sizes change through the buttons.
void TImageList::SetCell(int row, int column, const QString& text) {
  QTableWidgetItem* item = grid_->item(row - 1, column);
  if (!item) {
    item = new QTableWidgetItem;
    if (column != 3) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    if (column == 0) item->setTextAlignment(Qt::AlignCenter);
    if (column == 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid_->setItem(row - 1, column, item);
  }
  item->setText(text);
  if (column == 1) item->setToolTip(text);
}

void TImageList::SetRowCount(int rows) {
  const int before = grid_->rowCount();
  grid_->setRowCount(rows);
  for (int row = before + 1; row <= rows; ++row) {
    for (int column = 0; column < 4; ++column) SetCell(row, column, QString());
  }
}

bool TImageList::ImageListIsEmpty() const { return grid_->rowCount() == 1 && Cell(1, 0).isEmpty(); }

void TImageList::UpdateImageTotals() {
  int count = 0;
  int64_t total = 0;
  if (!ImageListIsEmpty()) {
    for (int row = 1; row <= grid_->rowCount(); ++row) {
      if (Cell(row, 0).isEmpty()) continue;
      ++count;
      total += IntegerOf(Cell(row, 2));
    }
  }
  count_->setText(QString::number(count));
  total_->setText(QString::number(total) + " bytes");
}

void TImageList::Add(const QString& path) {
  int row = 1;
  if (!ImageListIsEmpty()) {
    row = grid_->rowCount() + 1;
    SetRowCount(row);
  }
  SetCell(row, 0, QString::number(row));
  SetCell(row, 1, path);
  const uint64_t size = InputFile(ToAnsi(path)).size();
  SetCell(row, 2, QString::number(size));
  SetCell(row, 3, QString());
  UpdateImageTotals();
}

void TImageList::SetPictures(const std::vector<std::string>& files,
                             const std::vector<std::string>& notes) {
  grid_->setRowCount(0);
  SetRowCount(1);
  for (size_t i = 0; i < files.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    SetRowCount(row);
    SetCell(row, 0, QString::number(row));
    SetCell(row, 1, FromAnsi(files[i]));
    try {
      SetCell(row, 2, QString::number(InputFile(files[i]).size()));
    } catch (const std::exception&) {
      SetCell(row, 2, "0");
    }
    SetCell(row, 3, i < notes.size() ? FromAnsi(notes[i]) : QString());
  }
  UpdateImageTotals();
}

void TImageList::Remove(int row) {
  const int rows = grid_->rowCount();
  if (row < 1 || row > rows) return;
  for (int i = row; i <= rows - 1; ++i) {
    for (int column = 1; column < 4; ++column) SetCell(i, column, Cell(i + 1, column));
    SetCell(i, 0, QString::number(i));
  }
  for (int column = 0; column < 4; ++column) SetCell(rows, column, QString());
  if (rows > 1) grid_->setRowCount(rows - 1);
  UpdateImageTotals();
}

void TImageList::Exchange(int a, int b) {
  for (int column = 1; column < 4; ++column) {
    const QString first = Cell(a, column);
    SetCell(a, column, Cell(b, column));
    SetCell(b, column, first);
  }
}

int TImageList::Up(int row) {
  if (row <= 1 || row > grid_->rowCount()) return row;
  Exchange(row - 1, row);
  return row - 1;
}

int TImageList::Down(int row) {
  if (row < 1 || row >= grid_->rowCount()) return row;
  Exchange(row, row + 1);
  return row + 1;
}

std::vector<std::string> TImageList::Column(int column) const {
  std::vector<std::string> values;
  if (ImageListIsEmpty()) return values;
  for (int row = 1; row <= grid_->rowCount(); ++row) values.push_back(ToAnsi(Cell(row, column)));
  return values;
}

std::vector<std::string> TImageList::Files() const { return Column(1); }
std::vector<std::string> TImageList::Notes() const { return Column(3); }

void TImageList::Save(IniFile& ini) const {
  const int rows = ImageListIsEmpty() ? 0 : grid_->rowCount();
  ini.WriteInteger(kTable, "RowCount", rows);
  for (int row = 1; row <= rows; ++row) {
    for (int column = 1; column < 4; ++column) {
      ini.WriteString(kTable, CellKey(column, row), ToAnsi(Cell(row, column)));
    }
  }
}

void TImageList::Load(const IniFile& ini) {
  const int rows = ini.ReadInteger(kTable, "RowCount", 0);
  grid_->setRowCount(0);
  SetRowCount(std::max(rows, 1));
  for (int row = 1; row <= rows; ++row) {
    SetCell(row, 0, QString::number(row));
    for (int column = 1; column < 4; ++column) {
      SetCell(row, column, FromAnsi(ini.ReadString(kTable, CellKey(column, row), "")));
    }
  }
  UpdateImageTotals();
}

}  // namespace velkaro
