// The hidden Hex and Text tools.
#include "ui/developer_tools.h"

#include <QTemporaryDir>
#include <QtTest>

namespace velkaro {

class DeveloperToolsTest : public QObject {
  Q_OBJECT

 private slots:
  void HexExport() {
    struct Case {
      QByteArray input;
      QByteArray lines;  // what follows the header
    };
    const Case cases[] = {
        {"", ");\r\n"},
        {"AAA", "  $41,$40,$43\r\n);\r\n"},
        {QByteArray(21, '\0'),
         "  $00,$01,$02,$03,$04,$05,$06,$07,$08,$09,$0A,$0B,$0C,$0D,$0E,$0F,$10,$11,$12,$13\r\n"
         "  ,$14\r\n);\r\n"},
    };
    QTemporaryDir folder;
    for (const Case& c : cases) {
      const QString path = folder.filePath("input.bin");
      QFile input(path);
      QVERIFY(input.open(QIODevice::WriteOnly));
      input.write(c.input);
      input.close();
      ExportHex(path.toStdString());
      QFile output(path + ".imp");
      QVERIFY(output.open(QIODevice::ReadOnly));
      QCOMPARE(output.readAll(),
               "  array [1.." + QByteArray::number(c.input.size()) + "] of byte = (" + c.lines);
    }
  }

  // The counter wraps: the byte at position 256 is XORed with 0 again.
  void HexCounterWrapsAtAByte() {
    QTemporaryDir folder;
    const QString path = folder.filePath("long.bin");
    QFile input(path);
    QVERIFY(input.open(QIODevice::WriteOnly));
    input.write(QByteArray(257, '\x5A'));
    input.close();
    ExportHex(path.toStdString());
    QFile output(path + ".imp");
    QVERIFY(output.open(QIODevice::ReadOnly));
    const QList<QByteArray> items = output.readAll().split('$');
    QCOMPARE(items.size(), 258);
    QVERIFY(items[256].startsWith("A5"));  // 0x5A ^ 0xFF
    QVERIFY(items[257].startsWith("5A"));  // 0x5A ^ 0x00
  }

  void TextTestListsEveryLetter() {
    const std::vector<std::string> lines = TextTestLines();
    const size_t letters = std::stoul(lines[0]);
    QCOMPARE(lines.size(), letters + 2);
    QVERIFY(lines.back().starts_with("0031 1"));  // the last letter is the digit 1
  }
};

}  // namespace velkaro

QTEST_MAIN(velkaro::DeveloperToolsTest)
#include "developer_tools_test.moc"
