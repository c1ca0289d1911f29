#ifndef VELKARO_UI_IMAGE_LIST_H_
#define VELKARO_UI_IMAGE_LIST_H_

#include <QLabel>
#include <QTableWidget>
#include <string>
#include <vector>

#include "engine/ini_file.h"

namespace velkaro {

// The photo book's ordered picture list on the grid sgImages: column 0 the
// row's number, 1 the path, 2 the size in bytes, 3 the note. Rows are counted
// from 1 as the user sees them. The empty list is one blank row.
class TImageList {
 public:
  TImageList(QTableWidget* grid, QLabel* count, QLabel* total);

  bool ImageListIsEmpty() const;
  // Recomputes the count and the total; throws Error when a size is not an integer.
  void UpdateImageTotals();

  // Puts a picture into the blank row or a new last row; throws Error with the
  // input/output message when the file cannot be opened (the row keeps its
  // number and path, the totals stay).
  void Add(const QString& path);
  void Remove(int row);
  // Exchange with the neighbour and return the row to select.
  int Up(int row);
  int Down(int row);

  // Replaces the list; a picture that cannot be opened shows size 0.
  void SetPictures(const std::vector<std::string>& files, const std::vector<std::string>& notes);

  // The pictures from the top, empty for the empty list.
  std::vector<std::string> Files() const;
  std::vector<std::string> Notes() const;

  // The section "Table" of the window state file.
  void Save(IniFile& ini) const;
  void Load(const IniFile& ini);

  QString Cell(int row, int column) const;

 private:
  void SetCell(int row, int column, const QString& text);
  void SetRowCount(int rows);
  void Exchange(int a, int b);
  std::vector<std::string> Column(int column) const;

  QTableWidget* grid_;
  QLabel* count_;
  QLabel* total_;
};

}  // namespace velkaro

#endif  // VELKARO_UI_IMAGE_LIST_H_
