package midlettest;

import java.io.ByteArrayOutputStream;
import java.io.DataOutputStream;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;

/**
 * Writes a text-book package folder the way the tool does: cfg.dat, the book files and, unless
 * the book uses the phone font, font files. The font is a "barcode" font: every letter is four
 * columns wide and its first column holds the letter's code (bit y = row y), so that a page
 * drawn with it can be read back letter by letter. With `varied`, letters are 1 to 6 columns
 * wide instead and their columns scattered runs of ink in every row of the cell. The letters of
 * `marks` are combining marks: three columns, ink in the top two rows of the middle one.
 */
final class BookPackage {
  static final int GLYPH_WIDTH = 4;
  String text = "";
  int lineSpacing, charSpacing;
  boolean wrap = true, portrait = true;
  int backRgb = 0xFFFFFF, textRgb = 0x000000;
  String info = "A test book", tool = "Velkaro 4.7.0.246", version = "4.7.0";
  int password, passwordMode;
  int[] headings = {};
  // toc.dat: this part's number and offset in the book, the book name, each heading's title and part.
  int part = 1, offset;
  String bookName = "Tales";
  String[] titles = {};
  int[] parts = {};
  boolean phoneFont, varied;
  String marks = "";
  int cellHeight = 16;
  final Map<String, byte[]> files = new TreeMap<>();

  String fontName() {
    return phoneFont ? "Phone font" : "Barcode, 8";
  }

  /** Writes the package into dir, with the midlet class files of the given variant. */
  Path write(Path dir, Path embedded) throws IOException {
    Files.createDirectories(dir);
    for (String name : new String[] {"TBookCanvas.class", "TBookN1Canvas.class", "TBookN2Canvas.class",
                                     "TBookCanvasInit.class", "point.png", "logo.png"}) {
      Files.copy(embedded.resolve(name), dir.resolve(name));
    }
    Files.copy(embedded.resolve("text/TBookMIDlet.class"), dir.resolve("TBookMIDlet.class"));
    Files.write(dir.resolve("cfg.dat"), cfg());
    Files.write(dir.resolve("toc.dat"), toc());
    for (int n = 0; n * 4096 < text.length(); n++) {
      ByteArrayOutputStream book = new ByteArrayOutputStream();
      for (int i = n * 4096; i < Math.min(text.length(), n * 4096 + 4096); i++) {
        int x = text.charAt(i) ^ password & 0xFFFF;
        book.write(x >> 8);
        book.write(x & 255);
      }
      Files.write(dir.resolve("book" + n + ".dat"), book.toByteArray());
    }
    if (!phoneFont) writeFont(dir);
    for (Map.Entry<String, byte[]> f : files.entrySet()) Files.write(dir.resolve(f.getKey()), f.getValue());
    return dir;
  }

  byte[] cfg() throws IOException {
    ByteArrayOutputStream bytes = new ByteArrayOutputStream();
    DataOutputStream out = new DataOutputStream(bytes);
    for (int v : new int[] {text.length(), lineSpacing, charSpacing, wrap ? 1 : 0, portrait ? 1 : 0,
                            backRgb >> 16, backRgb >> 8 & 255, backRgb & 255,
                            textRgb >> 16, textRgb >> 8 & 255, textRgb & 255}) {
      out.writeInt(v);
    }
    for (String s : new String[] {info, fontName(), tool, version}) writeText(out, s);
    out.writeInt(checkValue());
    out.writeInt(passwordMode);
    out.writeInt(headings.length);
    for (int h : headings) out.writeInt(h);
    return bytes.toByteArray();
  }

  byte[] toc() throws IOException {
    ByteArrayOutputStream bytes = new ByteArrayOutputStream();
    DataOutputStream out = new DataOutputStream(bytes);
    out.writeInt(part);
    out.writeInt(offset);
    writeText(out, bookName);
    out.writeInt(titles.length);
    for (int i = 0; i < titles.length; i++) {
      out.writeInt(parts[i]);
      writeText(out, titles[i]);
    }
    return bytes.toByteArray();
  }

  static void writeText(DataOutputStream out, String s) throws IOException {
    out.writeInt(s.length());
    out.writeChars(s);
  }

  /**
   * The password check value of cfg.dat, worked out once from the tool's formula for the first
   * 16 letters of info, font name and tool name (here "A test bookBarco" or "A test bookPhone").
   */
  int checkValue() {
    String key = (info + fontName() + tool).substring(0, 16) + "/" + password;
    Integer value = CHECK_VALUES.get(key);
    if (value == null) throw new IllegalStateException("work out the check value of " + key);
    return value;
  }

  private static final Map<String, Integer> CHECK_VALUES = Map.of(
      "A test bookBarco/0", 2233758, "A test bookBarco/999", 25105603,
      "A test bookBarco/4321", 260236737, "A test bookBarco/70000", 252568910,
      "A test bookPhone/0", 2233490);

  /** The letters of the text without picture markers. */
  List<Character> letters() {
    List<Character> letters = new ArrayList<>();
    for (int i = 0; i < text.length(); i++) {
      if (text.charAt(i) == 1 && i + 2 < text.length() && text.charAt(i + 2) == 2) {
        i += 2;
      } else if (!letters.contains(text.charAt(i))) {
        letters.add(text.charAt(i));
      }
    }
    return letters;
  }

  private void writeFont(Path dir) throws IOException {
    List<Integer> words = new ArrayList<>();
    words.add(cellHeight);
    for (int group = 0; group < 16; group++) {
      int countAt = words.size();
      words.add(0);
      for (char c : letters()) {
        if ((c & 15) != group) continue;
        int[] columns = columns(c);
        words.add(marks.indexOf(c) >= 0 ? c | 0x10000 : (int) c);
        words.add(columns.length);
        for (int column : columns) words.add(column);
      }
      words.set(countAt, words.size() - countAt - 1);
    }
    writeFontFiles(dir, words);
  }

  private int[] columns(char c) {
    int rows = cellHeight >= 32 ? -1 : (1 << cellHeight) - 1;
    if (marks.indexOf(c) >= 0) return new int[] {0, 3, 0};
    if (!varied) {
      int[] barcode = new int[GLYPH_WIDTH];
      barcode[0] = c & ((1 << Math.min(cellHeight, 31)) - 1);
      return barcode;
    }
    int[] columns = new int[1 + c % 6];
    for (int x = 0; x < columns.length; x++) columns[x] = (c * 0x9E3779B1 + x * 0x6F4F2A35) & rows;
    return columns;
  }

  private static void writeFontFiles(Path dir, List<Integer> words) throws IOException {
    for (int n = 0; n * 2048 < words.size(); n++) {
      ByteArrayOutputStream file = new ByteArrayOutputStream();
      DataOutputStream out = new DataOutputStream(file);
      for (int i = n * 2048; i < Math.min(words.size(), n * 2048 + 2048); i++) out.writeInt(words.get(i));
      Files.write(dir.resolve("font" + n + ".dat"), file.toByteArray());
    }
  }
}
