package midlettest;

import java.awt.image.BufferedImage;
import java.io.ByteArrayOutputStream;
import java.lang.reflect.Array;
import java.lang.reflect.Field;
import java.lang.reflect.Modifier;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.IdentityHashMap;
import java.util.List;
import java.util.Map;
import javax.imageio.ImageIO;
import javax.microedition.lcdui.Alert;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Form;
import javax.microedition.lcdui.TextBox;
import javax.microedition.midlet.MIDlet;
import javax.microedition.rms.RecordStore;

/** The text-book reader, run from its real class files on the desktop stand-in. */
public final class TextBookTest {
  private static Path embedded, temp;
  private static int packages;

  public static void main(String[] args) throws Exception {
    embedded = Path.of(args[0]);
    temp = Files.createTempDirectory("midlet-test");
    boolean ok = Check.run(TextBookTest.class, () -> {
      RecordStore.reset();
      MIDlet.properties.clear();
      Canvas.screenWidth = Canvas.screenHeight = 128;
    });
    Check.deleteTree(temp);
    System.exit(ok ? 0 : 1);
  }

  static Path write(BookPackage book) throws Exception {
    return book.write(temp.resolve("book" + packages++), embedded);
  }

  static Phone open(BookPackage book) throws Exception {
    return new Phone(write(book));
  }

  static Page page(Phone phone, BookPackage book) {
    return new Page(phone.screen(), book);
  }

  static String lines(int from, int count) {
    StringBuilder s = new StringBuilder();
    for (int i = from; i < from + count; i++) s.append("Line ").append(i).append('\n');
    return s.toString();
  }

  static String picture(int number, int type) {
    return "\u0001" + (char) (type << 12 | number) + "\u0002";
  }

  static byte[] png(int w, int h, int rgb) throws Exception {
    BufferedImage image = new BufferedImage(w, h, BufferedImage.TYPE_INT_RGB);
    for (int y = 0; y < h; y++) for (int x = 0; x < w; x++) image.setRGB(x, y, rgb);
    ByteArrayOutputStream out = new ByteArrayOutputStream();
    ImageIO.write(image, "png", out);
    return out.toByteArray();
  }

  static void testFirstPageShowsFirstLinesInTheBookColours() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "Hello world\nSecond line\n";
    book.backRgb = 0xF0E0D0;
    book.textRgb = 0x102030;
    book.lineSpacing = 2;
    Phone phone = open(book);
    Page page = page(phone, book);
    Check.equal("Hello world", page.line(1), "first line");
    Check.equal(1, page.columns(1).get(0), "x of the first letter");
    Check.equal("Second line", page.line(1 + 16 + 2), "second line, one cell and the spacing lower");
    Check.equal(0xF0E0D0, page.rgb(0, 0), "back colour");
    Check.equal(0xF0E0D0, page.rgb(2, 1), "the letter cell beside the glyph column");
  }


  static void testWordWrapBreaksAfterTheLastBreakLetter() throws Exception {
    // 31 letters of width 4 fit from x = 1 into 128 pixels; the 32nd overflows.
    String text = "abcdefghijklmnopqrstuvwxy ABCDEFGHIJ";
    BookPackage book = new BookPackage();
    book.text = text;
    Check.equal(List.of("abcdefghijklmnopqrstuvwxy ", "ABCDEFGHIJ"), page(open(book), book).lines().subList(0, 2),
                "wrapped at the blank");
    book.wrap = false;
    Check.equal(List.of("abcdefghijklmnopqrstuvwxy ABCDE", "FGHIJ"), page(open(book), book).lines().subList(0, 2),
                "cut at the last letter that fits");
    book.charSpacing = 1;  // 25 letters of 4 + 1 fit
    Page spaced = page(open(book), book);
    Check.equal("abcdefghijklmnopqrstuvwxy", spaced.lines().get(0), "letter spacing narrows the line");
    Check.equal(List.of(1, 6, 11), spaced.columns(1).subList(0, 3), "letters 5 pixels apart");
  }

  static void testPunctuationThatDoesNotFitMovesWithItsWord() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "abcdefghijklmnopqrstuvw xyzABCD, next";  // the comma is the 32nd letter
    Check.equal(List.of("abcdefghijklmnopqrstuvw ", "xyzABCD, next"), page(open(book), book).lines().subList(0, 2),
                "comma kept with its word");
    book.text = "abcdefghijklmnopqrstuvw xyzABCD next";  // the blank is the 32nd letter
    Check.equal(List.of("abcdefghijklmnopqrstuvw xyzABCD ", "next"), page(open(book), book).lines().subList(0, 2),
                "a blank may hang over the edge");
  }

  static void testWrapSplitsAWordWiderThanTheScreen() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "x".repeat(40) + "\nend";
    Check.equal(List.of("x".repeat(31), "x".repeat(9), "end"), page(open(book), book).lines().subList(0, 3),
                "a long word is cut where the screen ends");
  }

  static void testArabicLineRunsRightToLeft() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "\u0627\u0628 cd\nxyz";
    Page page = page(open(book), book);
    Check.equal("dc \u0628\u0627", page.line(1), "read left to right, the line is reversed");
    Check.equal(124, page.columns(1).get(4), "first letter at the right edge");
    Check.equal("xyz", page.line(17), "the next line runs left to right again");
    Check.equal(1, page.columns(17).get(0), "x of a left-to-right line");
  }

  static void testLettersBelowBlankAreNotDrawn() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "ab\t\u0007cd\nef";
    Page page = page(open(book), book);
    Check.equal("abcd", page.line(1), "tab and bell are not drawn");
    Check.equal(List.of(1, 5, 9, 13), page.columns(1), "nor advanced over");
  }

  /** A document's paragraph ends in a carriage return, which ends its line as a line feed does. */
  static void testCarriageReturnEndsALineAndWithALineFeedOnlyOne() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "Mars\r Big\r\nNext\n\rLast\r";
    Phone phone = open(book);
    Check.equal(List.of("Mars", " Big", "Next", "", "Last", "", ""), page(phone, book).lines(),
                "lines end at CR, at LF and once at CR LF");
  }

  static void testPictureHasItsOwnLinesAtItsMarker() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "Before\n" + picture(1, 2) + "After\n" + picture(2, 1) + "End";
    book.files.put("pic1.png", png(40, 20, 0xFF0000));  // pic2.jpg is missing
    Page page = page(open(book), book);
    Check.equal("Before", page.line(1), "text before the picture");
    Check.equal(0xFF0000, page.rgb(64, 17), "picture's top row right below the first line");
    Check.equal(0xFF0000, page.rgb(44, 36), "picture centred: its left column");
    Check.equal(0xFFFFFF, page.rgb(43, 30), "picture centred: back colour beside it");
    Check.equal("After", page.line(37), "text after the picture's 20 rows");
    Check.equal(0x000000, page.rgb(32, 53), "frame of the placeholder of a picture that is missing");
    Check.equal(0xFFFF00, page.rgb(40, 60), "placeholder filling");
    Check.equal("End", page.line(53 + 32), "text after the two-cell placeholder");
  }

  static void testPagesFollowEachOtherToTheEndAndBack() throws Exception {
    BookPackage book = new BookPackage();
    String paragraph = "A paragraph long enough to wrap over several lines, with commas, "
                       + "full stops. And more words; until it ends here.\n";
    book.text = lines(1, 40) + paragraph.repeat(6) + lines(41, 30);
    Phone phone = open(book);
    List<List<String>> pages = new ArrayList<>();
    for (List<String> lines = page(phone, book).lines(); pages.isEmpty() || !lines.equals(pages.get(pages.size() - 1));
         lines = page(phone, book).lines()) {
      pages.add(lines);
      phone.press(Canvas.KEY_NUM6);
      Check.that(pages.size() < 100, "paging never ends");
    }
    List<String> all = new ArrayList<>();
    pages.forEach(all::addAll);
    Check.equal("Line 1", all.get(0), "first line");
    all.removeIf(String::isEmpty);  // below the last line of the last page
    Check.equal("Line 70", all.get(all.size() - 1), "last page ends with the last line");
    Check.that(String.join("", all).contains("until it ends here."), "wrapped paragraph on the pages");
    Check.equal(book.text.replace("\n", ""), String.join("", all),
                "the pages hold every letter once, in order");
    for (int i = pages.size() - 2; i >= 0; i--) {
      phone.press(Canvas.KEY_LEFT);
      Check.equal(pages.get(i), page(phone, book).lines(), "page " + i + " paging back");
    }
    phone.press(Canvas.KEY_NUM7);
    Check.equal(lines(64, 7), String.join("\n", page(phone, book).lines()) + "\n", "7 fills the screen with the end");
    phone.press(Canvas.KEY_NUM1);
    Check.equal(pages.get(0), page(phone, book).lines(), "1 goes to the start");
  }

  /**
   * Pages with pictures hold fewer lines than pages of text, so the fullest page that ends where
   * a page starts is not always the page before it.
   */
  static void testPagingBackReturnsToEachPageAtEveryLineSpacingAndScreenSize() throws Exception {
    StringBuilder text = new StringBuilder(lines(1, 12));
    for (int k = 1; k <= 6; k++) {
      text.append("Paragraph " + k + " is long enough to wrap over lines, with commas, stops. ")
          .append("And more words; until it ends.\n\n" + picture(k % 2 + 1, 2) + lines(k * 10, 5));
    }
    text.append(lines(100, 25));
    for (int[] screen : new int[][] {{128, 128}, {176, 208}, {240, 320}}) {
      for (int lineSpacing = -1; lineSpacing <= 2; lineSpacing++) {
        RecordStore.reset();
        Canvas.screenWidth = screen[0];
        Canvas.screenHeight = screen[1];
        BookPackage book = new BookPackage();
        book.text = text.toString();
        book.lineSpacing = lineSpacing;
        book.files.put("pic1.png", png(40, 70, 0xFF0000));  // pic2 is missing: a placeholder
        Phone phone = open(book);
        List<BufferedImage> pages = phone.pageToEnd();
        String what = screen[0] + "x" + screen[1] + ", line spacing " + lineSpacing;
        Check.that(pages.size() > 3, what + ": " + pages.size() + " pages");
        phone.pageBackThrough(pages, what);
      }
    }
  }

  /** A phone and a book's settings. */
  record Look(String name, int width, int height, boolean portrait, int lineSpacing,
              int charSpacing, boolean wrap, int cellHeight, boolean phoneFont) {}

  static final Look[] LOOKS = {
      new Look("128x160", 128, 160, true, 0, 0, true, 16, false),
      new Look("176x208 turned, tight", 176, 208, false, -1, -1, true, 16, false),
      new Look("240x320, 32 rows, no wrap", 240, 320, true, 2, 1, false, 32, false),
      new Look("128x128 turned, 12 rows", 128, 128, false, 1, 0, true, 12, false),
      new Look("176x208 phone font", 176, 208, true, 0, 1, true, 16, true),
  };

  /** The text in glyphs 1 to 6 columns wide on a phone of the look, with a picture pic1.png. */
  static Phone open(Look look, String text) throws Exception {
    RecordStore.reset();
    Canvas.screenWidth = look.width();
    Canvas.screenHeight = look.height();
    BookPackage book = new BookPackage();
    book.text = text;
    book.portrait = look.portrait();
    book.lineSpacing = look.lineSpacing();
    book.charSpacing = look.charSpacing();
    book.wrap = look.wrap();
    book.cellHeight = look.cellHeight();
    book.phoneFont = look.phoneFont();
    book.varied = true;
    book.files.put("pic1.png", png(40, 30, 0xFF0000));
    return open(book);
  }

  /**
   * Every page, drawn paging to the end, back to the start, to the end with 7 and back from there,
   * and a found word: the same pixels, whatever the phone and the settings, as the reader drew
   * before it kept glyphs in an atlas image and laid pages out once. The book has a picture, an
   * Arabic line, tabs, CR LF, a paragraph of many pages, and 700 letters in glyphs 1 to 6 columns
   * wide with ink in every row, more than the atlas holds.
   */
  static void testPagesAreDrawnAsBefore() throws Exception {
    StringBuilder text = new StringBuilder(lines(1, 25));
    for (int k = 1; k <= 60; k++) {
      text.append("Sentence " + k + " of a long paragraph, with commas; full stops. ");
    }
    text.append("\r\n");
    text.append("\u0627\u0644\u0628\u062d\u0627\u0631\u0629 and more\n")
        .append(picture(1, 2) + "Tab\there\r");
    for (int i = 0; i < 3000; i++) {
      text.append((char) (0x4E00 + i * 7919 % 700));
      text.append(i % 23 == 22 ? "\n" : i % 5 == 4 ? " " : "");
    }
    text.append(lines(26, 20));
    long[] before = {2891112657L, 1943607591L, 3455850189L, 1587965939L, 4046255833L};  // by look
    for (int k = 0; k < LOOKS.length; k++) {
      Look look = LOOKS[k];
      Phone phone = open(look, text.toString());
      java.util.zip.CRC32 pages = new java.util.zip.CRC32();
      List<BufferedImage> forward = phone.pageToEnd();
      forward.forEach(page -> add(pages, page));
      for (int i = 0; i < 2 * forward.size(); i++) {  // back to the start, then from the end
        phone.press(i == forward.size() ? Canvas.KEY_NUM7 : Canvas.KEY_NUM4);
        add(pages, phone.screen());
      }
      search(phone, "and more");
      add(pages, phone.screen());
      Check.equal(before[k], pages.getValue(), look.name() + ", " + forward.size() + " pages");
    }
  }

  /**
   * Paging back from where a jump lands (key 7, Go to, a found word, a bookmark) and a line up
   * from there: the same pixels as the reader drew before it laid the lines before a page out a
   * page's worth at a time. The book has a paragraph of more than 4096 letters, which paging back
   * lays out from 4095 letters back, pictures (one missing), CR LF and short lines.
   */
  static void testPagingBackFromAJumpDrawsAsBefore() throws Exception {
    StringBuilder text = new StringBuilder(lines(1, 12));
    for (int k = 1; k <= 80; k++) {
      text.append("Sentence " + k + " of a paragraph longer than a piece; with commas, stops. ");
    }
    text.append("\r\n" + picture(1, 2) + "After the picture\r" + picture(2, 1));
    for (int i = 0; i < 600; i++) {
      text.append((char) (0x4E00 + i * 7919 % 700)).append(i % 17 == 16 ? "\n" : "");
    }
    text.append(lines(13, 30));
    long[] before = {387284932L, 1617087016L, 1919714009L, 3627033404L, 2453248215L};  // by look
    List<java.util.function.Consumer<Phone>> jumps = List.of(
        phone -> phone.press(Canvas.KEY_NUM7), phone -> goTo(phone, "20"), phone -> goTo(phone, "45"),
        phone -> search(phone, "Sentence 70 "), phone -> {  // a bookmark added at 80 % and a page
          goTo(phone, "80");
          phone.press(Canvas.KEY_NUM6, Canvas.KEY_NUM5);
          phone.current(javax.microedition.lcdui.List.class).select(2);
          phone.current(javax.microedition.lcdui.List.class).select(0);
          phone.current().fire("Back");
          phone.press(Canvas.KEY_NUM1, Canvas.KEY_NUM5);
          phone.current(javax.microedition.lcdui.List.class).select(2);
          phone.current(javax.microedition.lcdui.List.class).select(1);
        });
    for (int k = 0; k < LOOKS.length; k++) {
      Phone phone = open(LOOKS[k], text.toString());
      java.util.zip.CRC32 pages = new java.util.zip.CRC32();
      for (java.util.function.Consumer<Phone> jump : jumps) {
        jump.accept(phone);
        add(pages, phone.screen());
        for (int i = 0; i < 7; i++) {
          phone.press(i < 6 ? Canvas.KEY_NUM4 : Canvas.KEY_NUM2);
          add(pages, phone.screen());
        }
      }
      Check.equal(before[k], pages.getValue(), LOOKS[k].name());
    }
  }

  static void goTo(Phone phone, String percent) {
    phone.press(Canvas.KEY_NUM5);
    phone.current(javax.microedition.lcdui.List.class).select(1);
    phone.current(TextBox.class).enter(percent, "OK");
  }

  static void add(java.util.zip.CRC32 checksum, BufferedImage screen) {
    int w = screen.getWidth();
    int[] rgb = screen.getRGB(0, 0, w, screen.getHeight(), null, 0, w);
    byte[] bytes = new byte[3 * rgb.length];
    for (int i = 0; i < rgb.length; i++) {
      bytes[3 * i] = (byte) (rgb[i] >> 16);
      bytes[3 * i + 1] = (byte) (rgb[i] >> 8);
      bytes[3 * i + 2] = (byte) rgb[i];
    }
    checksum.update(bytes);
  }

  /**
   * A combining mark (three columns, ink in the middle one) takes no width and is drawn over the
   * middle of the letter before it, on left-to-right and right-to-left lines alike. The barcode
   * reading sees the mark's ink as a letter of code 3.
   */
  static void testCombiningMarkSitsOverItsLetter() throws Exception {
    Object[][] cases = {  // text, letter spacing, the x of each column with ink, what it spells
        {"ab\u0301c", 0, List.of(1, 5, 6, 9), "ab\u0003c"},
        {"ab\u0301c", 1, List.of(1, 6, 7, 11), "ab\u0003c"},
        {"ab\u0301\u0301", 0, List.of(1, 5, 6), "ab\u0003"},
        {"\u0627\u0628\u0651", 0, List.of(120, 121, 124), "\u0628\u0003\u0627"},
    };
    for (Object[] c : cases) {
      BookPackage book = new BookPackage();
      book.text = (String) c[0];
      book.charSpacing = (Integer) c[1];
      book.marks = "\u0301\u0651";
      Page page = page(open(book), book);
      Check.equal(c[2], page.columns(1), book.text + ": columns");
      Check.equal(c[3], page.line(1), book.text + ": letters");
    }
  }

  static void testLineKeysScrollOneLine() throws Exception {
    BookPackage book = new BookPackage();
    book.text = lines(1, 30);
    Phone phone = open(book);
    phone.press(Canvas.KEY_NUM8, Canvas.KEY_NUM8);
    Check.equal("Line 3", page(phone, book).line(1), "two lines down");
    phone.press(Canvas.KEY_NUM2);
    Check.equal("Line 2", page(phone, book).line(1), "one line up");
    phone.press(Canvas.KEY_NUM2, Canvas.KEY_NUM2);
    Check.equal("Line 1", page(phone, book).line(1), "never above the start");
  }

  /** A folder with the class that tells the midlet that the phone has an optional API. */
  static Path optionalApi(String className, String superclass) throws Exception {
    Path dir = Files.createTempDirectory(temp, "api");
    Path source = dir.resolve("src").resolve(className.replace('.', '/') + ".java");
    Files.createDirectories(source.getParent());
    String pkg = className.substring(0, className.lastIndexOf('.'));
    Files.writeString(source, "package " + pkg + "; public abstract class " + className.substring(pkg.length() + 1)
                                  + " extends " + superclass + " {}");
    int status = javax.tools.ToolProvider.getSystemJavaCompiler().run(null, null, null, "-d", dir.toString(),
        "-cp", System.getProperty("java.class.path"), source.toString());
    Check.equal(0, status, "compiling " + className);
    return dir;
  }

  static void testCanvasFitsThePhone() throws Exception {
    BookPackage book = new BookPackage();
    book.text = lines(1, 30);
    Path pkg = write(book);
    Check.equal("TBookCanvas", new Phone(pkg).canvas().getClass().getName(), "plain MIDP 1.0 canvas");
    Path midp2 = optionalApi("javax.microedition.lcdui.game.GameCanvas", "javax.microedition.lcdui.Canvas");
    Path nokia = optionalApi("com.nokia.mid.ui.FullCanvas", "javax.microedition.lcdui.Canvas");
    Phone full = new Phone(pkg, midp2, nokia);
    Check.equal("TBookN2Canvas", full.canvas().getClass().getName(), "MIDP 2.0 comes first");
    Check.that(full.canvas().isFullScreen(), "full screen mode");
    Phone nokiaPhone = new Phone(pkg, nokia);
    Check.equal("TBookN1Canvas", nokiaPhone.canvas().getClass().getName(), "Nokia full canvas");
    nokiaPhone.canvas().hold(Canvas.KEY_NUM8);
    Check.equal("Line 3", page(nokiaPhone, book).line(1), "a held key repeats");
    nokiaPhone.canvas().press(Canvas.KEY_SOFT1);
    Check.equal("Menu", nokiaPhone.current(javax.microedition.lcdui.List.class).getTitle(), "soft key opens the menu");
  }

  static void testPhoneFontDrawsWithThePhonesOwnFont() throws Exception {
    BookPackage book = new BookPackage();
    book.phoneFont = true;
    book.portrait = false;  // phone fonts stay portrait
    book.text = "Hi you\nthere";
    Phone phone = open(book);
    phone.screen();
    List<String> drawn = phone.canvas().drawnText();
    Check.equal(List.of("1,1:H", "7,1:i", "13,1: ", "19,1:y", "25,1:o", "31,1:u", "1,11:t"), drawn.subList(0, 7),
                "letters 6 pixels apart, lines one font height apart");
  }

  static void testLandscapeTurnsTheTextWithFontFiles() throws Exception {
    Canvas.screenWidth = 100;
    Canvas.screenHeight = 160;
    BookPackage book = new BookPackage();
    book.portrait = false;
    book.text = "x".repeat(50);
    Page page = page(open(book), book);
    Check.equal(160, page.width(), "the page runs along the screen's height");
    Check.equal(List.of("x".repeat(39), "x".repeat(11)), page.lines().subList(0, 2), "lines as wide as the screen is high");
  }

  /** A picture whose top half is red and bottom half blue, turned a quarter clockwise as the build does. */
  static byte[] turnedRedOverBlue(int w, int h) throws Exception {
    BufferedImage turned = new BufferedImage(h, w, BufferedImage.TYPE_INT_RGB);
    for (int y = 0; y < h; y++) {
      for (int x = 0; x < w; x++) turned.setRGB(h - 1 - y, x, y < h / 2 ? 0xFF0000 : 0x0000FF);
    }
    ByteArrayOutputStream out = new ByteArrayOutputStream();
    ImageIO.write(turned, "png", out);
    return out.toByteArray();
  }

  static void testLandscapeShowsPicturesTurnedByTheBuildUpright() throws Exception {
    Canvas.screenWidth = 100;
    Canvas.screenHeight = 160;
    BookPackage book = new BookPackage();
    book.portrait = false;
    book.text = "Before\n" + picture(1, 2) + "After";
    book.files.put("pic1.png", turnedRedOverBlue(40, 20));
    Page page = page(open(book), book);
    int top = 1 + 16, left = page.width() / 2 - 20;
    Check.equal(0xFF0000, page.rgb(left, top), "the picture's top left corner, red");
    Check.equal(0xFF0000, page.rgb(left + 39, top + 9), "the red half ends after half the height");
    Check.equal(0x0000FF, page.rgb(left, top + 10), "the blue half below it");
    Check.equal(0x0000FF, page.rgb(left + 39, top + 19), "the picture's bottom right corner, blue");
    Check.equal("After", page.line(top + 20), "text after the picture's 20 rows");
  }

  static void testPasswordEachTimeGatesTheBook() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "Secret text";
    book.password = 70000;  // only the low 16 bits are the key
    book.passwordMode = 2;
    Path pkg = write(book);
    Phone phone = new Phone(pkg);
    TextBox box = phone.current(TextBox.class);
    Check.equal("Password", box.getTitle(), "password asked first");
    box.enter("1234", "OK");
    Check.equal("Wrong password", phone.display.takeAlert().getString(), "wrong number");
    Check.that(phone.current() == box, "asked again");
    box.enter("70000", "OK");
    Check.equal("Secret text", page(phone, book).line(1), "right number opens the book");
    phone.exit();
    Check.equal("Password", new Phone(pkg).current(TextBox.class).getTitle(), "asked at every start");
    Phone leaving = new Phone(pkg);
    leaving.current(TextBox.class).fire("Exit");
    Check.that(leaving.midlet.isDestroyed(), "Exit works at the password");
  }

  static void testPasswordOnceIsRemembered() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "Secret text";
    book.password = 4321;
    book.passwordMode = 1;
    Path pkg = write(book);
    Phone phone = new Phone(pkg);
    phone.current(TextBox.class).enter("4321", "OK");
    Check.equal("Secret text", page(phone, book).line(1), "book opens");
    phone.exit();
    Phone again = new Phone(pkg);
    Check.equal("Secret text", page(again, book).line(1), "not asked after the first success");
  }

  static void testBookWithoutPasswordModeStillFindsItsKey() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "Plain";
    book.password = 999;
    Check.equal("Plain", page(open(book), book).line(1), "letters decoded with the key of the check value");
  }

  static void testPositionAndBookmarksSurviveARestart() throws Exception {
    BookPackage book = new BookPackage();
    book.text = lines(1, 60);
    Path pkg = write(book);
    Phone phone = new Phone(pkg);
    phone.press(Canvas.KEY_NUM6, Canvas.KEY_NUM6);
    Check.equal("Line 15", page(phone, book).line(1), "third page");
    phone.press(Canvas.KEY_NUM5);
    phone.current(javax.microedition.lcdui.List.class).select(2);  // Bookmarks
    phone.current(javax.microedition.lcdui.List.class).select(0);  // Add bookmark
    Check.equal(2, phone.current(javax.microedition.lcdui.List.class).size(), "one bookmark listed");
    Check.that(phone.current(javax.microedition.lcdui.List.class).getString(1).contains("Line 15"),
               "bookmark titled by its text");
    phone.current().fire("Back");
    phone.press(Canvas.KEY_NUM6);
    phone.exit();

    Phone again = new Phone(pkg);
    Check.equal("Line 22", page(again, book).line(1), "reading position restored");
    again.press(Canvas.KEY_FIRE);
    again.current(javax.microedition.lcdui.List.class).select(2);
    again.current(javax.microedition.lcdui.List.class).select(1);
    Check.equal("Line 15", page(again, book).line(1), "bookmark opened after the restart");
    again.press(Canvas.KEY_FIRE);
    again.current(javax.microedition.lcdui.List.class).select(2);
    again.current(javax.microedition.lcdui.List.class).select(1, "Delete");
    Check.equal(1, again.current(javax.microedition.lcdui.List.class).size(), "bookmark deleted");
  }

  static void testSearchFindsTheNextOccurrenceIgnoringCase() throws Exception {
    BookPackage book = new BookPackage();
    book.text = lines(1, 20) + "Away to Moscow.\n" + lines(21, 20) + "\u0412 \u041c\u041e\u0421\u041a\u0412\u0423 \u0438 moscow\n"
                + lines(41, 20);
    Phone phone = open(book);
    search(phone, "MOSCOW");
    Page found = page(phone, book);
    Check.that(found.lines().get(0).startsWith("Away"), "first occurrence's line on top: " + found.lines());
    search(phone, "\u043c\u043e\u0441\u043a\u0432\u0443");
    Check.that(page(phone, book).lines().get(0).startsWith("\u0412 "), "Cyrillic capitals match small letters");
    search(phone, "MOSCOW");
    Check.that(page(phone, book).lines().get(0).startsWith("\u0412 "), "next occurrence, on the same line");
    search(phone, "Leningrad");
    Check.equal("Not found", phone.display.takeAlert().getString(), "a text that is not there");
  }

  /**
   * Every capital of A-Z, \u0410-\u042f and \u0400-\u040f (\u0401 among them) finds its small
   * letter and the other way round; the letters beside those ranges fold to nothing.
   */
  static void testSearchFoldsTheCaseOfWholeAlphabets() throws Exception {
    int[][] alphabets = {{'A', 'Z', 'a'}, {0x410, 0x42F, 0x430}, {0x400, 0x40F, 0x450}};
    StringBuilder capitals = new StringBuilder(), smalls = new StringBuilder();
    for (int[] a : alphabets) {
      for (int c = a[0]; c <= a[1]; c++) {
        capitals.append((char) c);
        smalls.append((char) (c - a[0] + a[2]));
      }
    }
    String[][] unfolded = {{"@", "`"}, {"[", "{"}, {"\u03ff", "\u044f"}, {"\u0430", "\u0450"}};
    BookPackage book = new BookPackage();
    StringBuilder text = new StringBuilder();
    for (int i = 0; i < capitals.length(); i++) text.append(i + ":" + capitals.charAt(i) + "\n");
    for (int i = 0; i < smalls.length(); i++) text.append(i + ";" + smalls.charAt(i) + "\n");
    for (String[] pair : unfolded) text.append(pair[0]).append('\n');
    book.text = text.toString();
    Phone phone = open(book);
    for (String[] way : new String[][] {{smalls.toString(), capitals.toString(), ":"},
                                        {capitals.toString(), smalls.toString(), ";"}}) {
      for (int i = 0; i < way[0].length(); i++) {
        search(phone, way[0].substring(i, i + 1));
        String top = page(phone, book).line(1);  // the found letter is drawn inverted
        Check.that(top.startsWith(i + way[2]), "search for " + way[0].charAt(i) + " shows " + top);
      }
    }
    for (String[] pair : unfolded) {  // nothing on the last page matches; earlier lines may
      phone.press(Canvas.KEY_NUM7);
      search(phone, pair[1]);
      Alert alert = phone.display.takeAlert();
      Check.that(alert != null, "search for " + pair[1] + " matched " + page(phone, book).line(1));
    }
  }

  static void search(Phone phone, String query) {
    phone.press(Canvas.KEY_NUM5);
    phone.current(javax.microedition.lcdui.List.class).select(3);
    phone.current(TextBox.class).enter(query, "OK");
  }

  static void testContentsListHeadingsByLevelAndOpensThem() throws Exception {
    BookPackage book = new BookPackage();
    book.text = "Chapter One\n" + lines(1, 30) + "Section Two\n" + lines(31, 10);
    int second = book.text.indexOf("Section");
    book.headings = new int[] {0 << 8 | 1, second << 8 | 2};
    book.titles = new String[] {"Chapter One", "Section Two"};
    book.parts = new int[] {1, 1};
    Phone phone = open(book);
    phone.press(Canvas.KEY_NUM5);
    phone.current(javax.microedition.lcdui.List.class).select(0);
    javax.microedition.lcdui.List contents = phone.current(javax.microedition.lcdui.List.class);
    Check.equal(List.of("Chapter One", "  Section Two"), contents.items(), "titles indented by level");
    contents.select(1);
    Check.equal("Section Two", page(phone, book).line(1), "heading opened");
  }

  /**
   * The second of three parts lists the whole book: its own headings open where they stand (their
   * positions in the book less the part's offset), the others name the package that holds them.
   */
  static void testEveryPartListsTheWholeBook() throws Exception {
    BookPackage book = new BookPackage();
    book.text = lines(1, 10) + "Chapter Two\n" + lines(11, 30) + "Section\n" + lines(41, 10);
    book.part = 2;
    book.offset = 5000;
    book.bookName = "Gulls";
    int chapter = book.offset + book.text.indexOf("Chapter"), section = book.offset + book.text.indexOf("Section");
    book.headings = new int[] {0 << 8 | 1, 10 << 8 | 2, chapter << 8 | 2, section << 8 | 3, 9000 << 8 | 2};
    book.titles = new String[] {"Preface", "Chapter One", "Chapter Two", "Section", "Chapter Three"};
    book.parts = new int[] {1, 1, 2, 2, 3};
    Phone phone = open(book);
    String[][] table = {  // entry chosen, then the alert it shows or the line on top of the page
        {"0", "In part 1: Gulls1", null}, {"2", null, "Chapter Two"}, {"4", "In part 3: Gulls3", null},
        {"3", null, "Section"}};
    for (String[] row : table) {
      phone.press(Canvas.KEY_NUM5);
      phone.current(javax.microedition.lcdui.List.class).select(0);
      javax.microedition.lcdui.List contents = phone.current(javax.microedition.lcdui.List.class);
      Check.equal(List.of("Preface", "  Chapter One", "  Chapter Two", "    Section", "  Chapter Three"),
                  contents.items(), "the whole book, indented by level");
      contents.select(Integer.parseInt(row[0]));
      Alert alert = phone.display.takeAlert();
      Check.equal(row[1], alert == null ? null : alert.getString(), "entry " + row[0]);
      if (row[2] == null) {
        Check.that(phone.current() == contents, "the contents stay on screen");
        contents.fire("Back");
      } else {
        Check.equal(row[2], page(phone, book).line(1), "entry " + row[0] + " opened");
      }
    }
  }

  /**
   * A later part begins with what the cut left: blanks and line feeds before its first word are
   * not shown, whether the part opens, key 1 goes to its start, Go to 0% or paging back arrive there.
   */
  static void testAPartStartsAtItsFirstWord() throws Exception {
    BookPackage book = new BookPackage();
    book.text = " \n \nAt the bottom\n" + lines(1, 30);
    Phone phone = open(book);
    Check.equal("At the bottom", page(phone, book).line(1), "first page");
    BufferedImage first = phone.screen();
    phone.press(Canvas.KEY_NUM6, Canvas.KEY_NUM6, Canvas.KEY_NUM1);
    Check.that(Phone.same(first, phone.screen()), "key 1");
    phone.press(Canvas.KEY_NUM6, Canvas.KEY_NUM2, Canvas.KEY_NUM2, Canvas.KEY_NUM2);
    phone.press(Canvas.KEY_NUM4, Canvas.KEY_NUM4);
    Check.that(Phone.same(first, phone.screen()), "paging back from a page that starts mid-page");
    phone.press(Canvas.KEY_NUM6);
    goTo(phone, "0");
    Check.that(Phone.same(first, phone.screen()), "Go to 0%");
  }

  /** Go to a percentage whose position lies on the last page shows the full last page, as key 7. */
  static void testGoToTheEndShowsAFullLastPage() throws Exception {
    BookPackage book = new BookPackage();
    book.text = lines(10, 90);
    Phone phone = open(book);
    phone.press(Canvas.KEY_NUM7);
    BufferedImage last = phone.screen();
    Check.that(!page(phone, book).lines().contains(""), "key 7 shows a full page");
    for (String percent : new String[] {"100", "99", "500"}) {
      phone.press(Canvas.KEY_NUM1);
      goTo(phone, percent);
      Check.that(Phone.same(last, phone.screen()), "Go to " + percent + "%: " + page(phone, book).lines());
    }
  }

  /** A search that finds nothing after the page goes on from the part's start, and says so. */
  static void testSearchContinuesFromTheBeginning() throws Exception {
    BookPackage book = new BookPackage();
    book.text = " \nNeedle one\n" + lines(1, 40) + "needle two\n" + lines(41, 20);
    Phone phone = open(book);
    String[][] table = {  // query, the alert, how the line on top ends (the hit is drawn inverted)
        {"needle", null, " one"}, {"needle", null, " two"},
        {"needle", "Search continued from the beginning", " one"}, {"haystack", "Not found", " one"}};
    for (String[] row : table) {
      search(phone, row[0]);
      Alert alert = phone.display.takeAlert();
      Check.equal(row[1], alert == null ? null : alert.getString(), "alert of search for " + row[0]);
      Check.that(phone.current() instanceof Canvas, "the book is on screen");
      Check.that(page(phone, book).lines().get(0).endsWith(row[2]),
                 "search for " + row[0] + " shows " + page(phone, book).lines());
    }
  }

  static void testGoToPercentAndInfo() throws Exception {
    BookPackage book = new BookPackage();
    book.text = lines(10, 90);  // "Line 10" to "Line 99", 8 letters each
    Phone phone = open(book);
    goTo(phone, "50");
    Check.equal("Line 55", page(phone, book).line(1), "half way");
    phone.press(Canvas.KEY_NUM5);
    phone.current(javax.microedition.lcdui.List.class).select(4);
    String info = phone.current(Form.class).text();
    for (String part : new String[] {"A test book", "Barcode, 8", "Velkaro 4.7.0.246", "50%"}) {
      Check.that(info.contains(part), "info holds " + part + ": " + info);
    }
    phone.current().fire("Back");
    phone.press(Canvas.KEY_NUM5);
    phone.current(javax.microedition.lcdui.List.class).select(5);
    Check.that(phone.midlet.isDestroyed(), "Exit from the menu");
  }

  /**
   * Letters whose glyphs lie in six font files: a page turn reads each font file at most once,
   * drawing the page again reads none, and every page shows its own letters.
   */
  static void testPageTurnReadsEachFontFileOnce() throws Exception {
    StringBuilder text = new StringBuilder();
    for (int i = 0; i < 7000; i++) {
      text.append((char) (0x4E00 + i * 37 % 2000)).append(i % 20 == 19 ? "\n" : "");
    }
    BookPackage book = new BookPackage();
    book.text = text.toString();
    List<String> lines = List.of(book.text.split("\n"));
    Phone phone = open(book);
    Check.that(Files.exists(write(book).resolve("font5.dat")), "six font files");
    for (int turn = 0; turn < 12; turn++) {
      Page page = page(phone, book);
      int first = turn * page.lines().size();
      Check.equal(lines.subList(first, first + page.lines().size()), page.lines(), "page " + turn);
      phone.reads.clear();
      phone.screen();
      Check.equal(List.of(), phone.reads, "page " + turn + " drawn again");
      phone.press(Canvas.KEY_NUM6);
      page(phone, book);
      List<String> fonts = phone.reads.stream().filter(r -> r.startsWith("font")).toList();
      Check.equal((long) fonts.size(), fonts.stream().distinct().count(), "turn " + turn + ": " + fonts);
    }
  }

  /** A 90,000-letter part with 300 distinct letters, paged through, jumped in and searched. */
  static void testHeapStaysSmallForALargePart() throws Exception {
    StringBuilder text = new StringBuilder();
    for (int i = 0; text.length() < 90000; i++) {
      text.append((char) ('\u0400' + i * 7 % 300)).append(i % 9 == 0 ? "\n" : i % 3 == 0 ? " " : "");
    }
    BookPackage book = new BookPackage();
    book.text = text.substring(0, 90000);
    Check.that(book.letters().size() >= 300, "300 distinct letters");
    Phone phone = open(book);
    for (int i = 0; i < 50; i++) phone.press(Canvas.KEY_NUM6);
    phone.press(Canvas.KEY_NUM7, Canvas.KEY_NUM4, Canvas.KEY_NUM2);
    search(phone, "\u0400\u0407");
    long bytes = retainedBytes(phone.midlet);
    System.out.println("heap held by the reader after paging a 90,000-letter part: " + bytes + " bytes");
    Check.that(bytes < 100_000, "the reader holds " + bytes + " bytes");
  }

  /** Bytes of the arrays and strings that the midlet's own fields reach (the VM's share aside). */
  static long retainedBytes(Object root) throws Exception {
    Map<Object, Boolean> seen = new IdentityHashMap<>();
    List<Object> work = new ArrayList<>(List.of(root));
    long total = 0;
    while (!work.isEmpty()) {
      Object o = work.remove(work.size() - 1);
      if (o == null || seen.put(o, true) != null) continue;
      Class<?> c = o.getClass();
      if (c.isArray()) {
        int n = Array.getLength(o);
        Class<?> e = c.getComponentType();
        total += 16 + (long) n * (e == char.class ? 2 : e == byte.class ? 1 : 4);
        if (!e.isPrimitive()) for (int i = 0; i < n; i++) work.add(Array.get(o, i));
      } else if (o instanceof String) {
        total += 24 + 2L * ((String) o).length();
      } else if (c.getName().startsWith("TBook")) {
        total += 16;
        for (Field f : c.getDeclaredFields()) {
          if (f.getType().isPrimitive() || Modifier.isStatic(f.getModifiers())) {
            total += 4;
            continue;
          }
          f.setAccessible(true);
          work.add(f.get(o));
        }
      }
    }
    return total;
  }
}
