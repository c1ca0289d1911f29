package midlettest;

import java.awt.image.BufferedImage;
import java.util.ArrayList;
import java.util.List;

/**
 * A screen drawn with the barcode font of BookPackage, read back: every column that holds ink in
 * the text colour is a letter's first column and spells the letter's code.
 */
final class Page {
  final BufferedImage image;
  final BookPackage book;
  final boolean rotated;

  Page(BufferedImage image, BookPackage book) {
    this.image = image;
    this.book = book;
    this.rotated = !book.portrait && !book.phoneFont;
  }

  int width() {
    return rotated ? image.getHeight() : image.getWidth();
  }

  int height() {
    return rotated ? image.getWidth() : image.getHeight();
  }

  /** The colour at page point (x, y); a landscape page runs down the screen, its top at the right. */
  int rgb(int x, int y) {
    return (rotated ? image.getRGB(image.getWidth() - 1 - y, x) : image.getRGB(x, y)) & 0xFFFFFF;
  }

  /** Top row of text line k when every line above it is text. */
  int lineTop(int k) {
    return 1 + k * (book.cellHeight + book.lineSpacing);
  }

  /** The x of each letter on the line whose cell starts at row y, left to right. */
  List<Integer> columns(int y) {
    List<Integer> xs = new ArrayList<>();
    for (int x = 0; x < width(); x++) {
      if (code(x, y) != 0) xs.add(x);
    }
    return xs;
  }

  int code(int x, int y) {
    int bits = 0;
    int rows = book.cellHeight + Math.min(0, book.lineSpacing);  // the next cell covers the rest
    for (int row = 0; row < rows && y + row < height(); row++) {
      if (rgb(x, y + row) == book.textRgb) bits |= 1 << row;
    }
    return bits;
  }

  /** The letters of the line whose cell starts at row y, left to right. */
  String line(int y) {
    StringBuilder s = new StringBuilder();
    for (int x : columns(y)) s.append((char) code(x, y));
    return s.toString();
  }

  /** The text lines from the top of a page of text lines only. */
  List<String> lines() {
    List<String> lines = new ArrayList<>();
    for (int k = 0; lineTop(k) + book.cellHeight <= height(); k++) lines.add(line(lineTop(k)));
    return lines;
  }
}
