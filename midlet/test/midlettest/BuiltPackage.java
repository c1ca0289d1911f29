package midlettest;

import java.awt.image.BufferedImage;
import java.io.DataInputStream;
import java.io.IOException;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.zip.ZipEntry;
import java.util.zip.ZipFile;

/**
 * A text-book package that the tool built, read back from its JAR: the settings at the head of
 * cfg.dat and the glyph columns of its font files, from which the test knows what a line of
 * letters must look like on the screen.
 */
final class BuiltPackage {
  final Path jar;
  final int lineSpacing, charSpacing, backRgb, textRgb, cellHeight;
  final boolean portrait;
  private final Map<Integer, int[]> glyphs = new HashMap<>();
  private final String firstBookLetters;

  BuiltPackage(Path jar) throws IOException {
    this.jar = jar;
    try (ZipFile zip = new ZipFile(jar.toFile())) {
      DataInputStream cfg = entry(zip, "cfg.dat");
      int[] settings = new int[11];
      for (int i = 0; i < settings.length; i++) settings[i] = cfg.readInt();
      lineSpacing = settings[1];
      charSpacing = settings[2];
      portrait = settings[4] != 0;
      backRgb = settings[5] << 16 | settings[6] << 8 | settings[7];
      textRgb = settings[8] << 16 | settings[9] << 8 | settings[10];
      List<Integer> words = fontWords(zip);
      Check.that(!words.isEmpty(), "package has font files");
      cellHeight = Math.min(words.get(0), 32);
      for (int group = 0, i = 1; group < 16; group++) {
        int end = i + 1 + words.get(i);
        for (i++; i < end; i += 2 + words.get(i + 1)) {
          int[] columns = new int[words.get(i + 1)];
          for (int x = 0; x < columns.length; x++) columns[x] = words.get(i + 2 + x);
          glyphs.put(words.get(i), columns);
        }
      }
      DataInputStream book = entry(zip, "book0.dat");
      StringBuilder letters = new StringBuilder();
      char c = book.readChar();
      while (c == ' ' || c == '\n') c = book.readChar();
      for (; c != '\n' && letters.length() < 12; c = book.readChar()) letters.append(c);
      firstBookLetters = letters.toString();
    }
  }

  /**
   * The first letters of book0.dat after its leading blanks and line feeds, up to the next line
   * feed, as stored (no password).
   */
  String firstBookLetters() {
    return firstBookLetters;
  }

  /**
   * Checks that line k of a page of text lines starts with the given letters, each drawn from
   * the font files from x = 1 in the package's colours, the page turned when it is landscape.
   */
  void checkLine(BufferedImage screen, int k, String letters) {
    int top = 1 + k * (cellHeight + lineSpacing);
    int rows = cellHeight + Math.min(0, lineSpacing);  // the next line's cell covers the rest
    int x = 1;
    for (char c : letters.toCharArray()) {
      int[] columns = glyphs.get((int) c);
      Check.that(columns != null, "the font files lack " + c);
      for (int dx = 0; dx < columns.length; dx++) {
        for (int y = 0; y < rows; y++) {
          int expected = (columns[dx] >>> y & 1) != 0 ? textRgb : backRgb;
          String where = c + " at " + (x + dx) + "," + (top + y) + " of " + jar.getFileName();
          Check.equal(Integer.toHexString(expected),
                      Integer.toHexString(rgb(screen, x + dx, top + y)), where);
        }
      }
      x += columns.length + charSpacing;
    }
  }

  /** The colour at page point (x, y); a landscape page runs down the screen, its top right. */
  private int rgb(BufferedImage screen, int x, int y) {
    int rgb = portrait ? screen.getRGB(x, y) : screen.getRGB(screen.getWidth() - 1 - y, x);
    return rgb & 0xFFFFFF;
  }

  private static List<Integer> fontWords(ZipFile zip) throws IOException {
    List<Integer> words = new ArrayList<>();
    for (int n = 0; zip.getEntry("font" + n + ".dat") != null; n++) {
      ZipEntry file = zip.getEntry("font" + n + ".dat");
      DataInputStream font = entry(zip, file.getName());
      for (long left = file.getSize() / 4; left > 0; left--) words.add(font.readInt());
    }
    return words;
  }

  private static DataInputStream entry(ZipFile zip, String name) throws IOException {
    return new DataInputStream(zip.getInputStream(zip.getEntry(name)));
  }
}
