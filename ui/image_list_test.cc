// The photo book's picture list: adding, removing, moving, totals and its
// section of the window state file.
#include "ui/image_list.h"

#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace velkaro {

class ImageListTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir folder_;
  QString Picture(const QString& name, int size) {
    QFile file(folder_.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(size, 'x'));
    return file.fileName();
  }

  struct List {
    QTableWidget grid;
    QLabel count, total;
    TImageList list{&grid, &count, &total};
    QStringList Column(int column) {
      QStringList cells;
      for (int row = 1; row <= grid.rowCount(); ++row) cells << list.Cell(row, column);
      return cells;
    }
  };

 private slots:
  void AddingAndRemoving() {
    List l;
    QVERIFY(l.list.ImageListIsEmpty());
    QCOMPARE(l.grid.rowCount(), 1);

    const QString a = Picture("a.png", 10), b = Picture("b.jpg", 20), c = Picture("c.gif", 30);
    l.list.Add(a);  // fills the blank row
    QCOMPARE(l.grid.rowCount(), 1);
    QCOMPARE(l.count.text(), "1");
    QCOMPARE(l.total.text(), "10 bytes");

    l.list.Add(b);
    l.list.Add(c);
    l.list.Add(a);  // the same picture twice is two pictures
    QCOMPARE(l.count.text(), "4");
    QCOMPARE(l.total.text(), "70 bytes");
    QCOMPARE(l.Column(0), QStringList({"1", "2", "3", "4"}));

    l.list.Remove(2);  // the rest moves up, renumbered
    QCOMPARE(l.Column(0), QStringList({"1", "2", "3"}));
    QCOMPARE(l.Column(1), QStringList({a, c, a}));
    QCOMPARE(l.Column(2), QStringList({"10", "30", "10"}));
    QCOMPARE(l.total.text(), "50 bytes");

    l.list.Remove(1);
    l.list.Remove(1);
    l.list.Remove(1);  // the only picture: one blank row stays
    QVERIFY(l.list.ImageListIsEmpty());
    QCOMPARE(l.grid.rowCount(), 1);
    QCOMPARE(l.count.text(), "0");
    QCOMPARE(l.total.text(), "0 bytes");
    QVERIFY(l.list.Files().empty());
  }

  void MissingFileKeepsNumberAndPath() {
    List l;
    QVERIFY_THROWS_EXCEPTION(std::exception, l.list.Add(folder_.filePath("absent.png")));
    QCOMPARE(l.list.Cell(1, 0), "1");
    QCOMPARE(l.list.Cell(1, 1), folder_.filePath("absent.png"));
    QCOMPARE(l.count.text(), "");  // the totals were not updated
  }

  void UpAndDown() {
    struct Case {
      const char* move;
      int row;
      int selected;
      QStringList notes;
    };
    const Case cases[] = {
        {"up", 1, 1, {"n1", "n2", "n3"}},    // the first row stays
        {"down", 3, 3, {"n1", "n2", "n3"}},  // the last row stays
        {"up", 3, 2, {"n1", "n3", "n2"}},
        {"down", 1, 2, {"n2", "n1", "n3"}},
    };
    for (const Case& c : cases) {
      List l;
      for (int i = 1; i <= 3; ++i) {
        l.list.Add(Picture(QString("p%1.png").arg(i), i));
        l.grid.item(i - 1, 3)->setText(QString("n%1").arg(i));
      }
      const int selected = QString(c.move) == "up" ? l.list.Up(c.row) : l.list.Down(c.row);
      QCOMPARE(selected, c.selected);
      QCOMPARE(l.Column(3), c.notes);
      QCOMPARE(l.Column(0), QStringList({"1", "2", "3"}));  // numbers never move
      QCOMPARE(l.total.text(), "6 bytes");
    }
  }

  void OnlyNotesAreTypedIn() {
    List l;
    l.list.Add(Picture("a.png", 1));
    for (int column = 0; column < 4; ++column) {
      const bool editable = l.grid.item(0, column)->flags() & Qt::ItemIsEditable;
      QCOMPARE(editable, column == 3);
    }
  }

  void StateFileSection() {
    IniFile written;
    List empty;
    empty.list.Save(written);
    QCOMPARE(written.ReadInteger("Table", "RowCount", -1), 0);

    IniFile ini("[Table]\nRowCount=2\n1.1=a.png\n2.1=5\n3.1=first\n1.2=b.png\n2.2=7\n3.2=second\n");
    List l;
    l.list.Load(ini);
    QCOMPARE(l.Column(0), QStringList({"1", "2"}));
    QCOMPARE(l.Column(1), QStringList({"a.png", "b.png"}));
    QCOMPARE(l.Column(3), QStringList({"first", "second"}));
    QCOMPARE(l.total.text(), "12 bytes");
    QCOMPARE(l.list.Notes(), std::vector<std::string>({"first", "second"}));

    IniFile saved;
    l.list.Save(saved);
    QCOMPARE(saved.ReadInteger("Table", "RowCount", -1), 2);
    QCOMPARE(saved.ReadString("Table", "3.2", ""), "second");
    QCOMPARE(saved.ReadString("Table", "2.1", ""), "5");

    List damaged;  // a size that is not a number fails the totals
    QVERIFY_THROWS_EXCEPTION(std::exception,
                             damaged.list.Load(IniFile("[Table]\nRowCount=1\n2.1=big\n")));
  }
};

}  // namespace velkaro

QTEST_MAIN(velkaro::ImageListTest)
#include "image_list_test.moc"
