package midlettest;

import java.awt.image.BufferedImage;
import java.io.DataInputStream;
import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.stream.Stream;
import java.util.zip.ZipFile;
import javax.imageio.ImageIO;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Form;
import javax.microedition.lcdui.TextBox;
import javax.microedition.midlet.MIDlet;
import javax.microedition.rms.RecordStore;

/**
 * Packages that the tool itself builds from the example books, run on the desktop stand-in:
 * the first line is drawn from the package's own font files in its colours, paging reaches the
 * end, the menu works, every part lists the whole book's contents, a CJK book pages without
 * reading a font file twice, the gallery shows its pictures, and a book made from an illustrated
 * EPUB lists its chapters and shows its pictures.
 * Usage: RealPackageTest VELKARO_EXECUTABLE EXAMPLES_FOLDER
 */
public final class RealPackageTest {
  private static Path velkaro, examples;
  /** Where the tests' packages go, apart from the program's own folder of packages. */
  private static Path midlets;
  /** The shared corpus of real books; tests that need it skip when it is absent. */
  private static final String CORPUS = System.getenv("VELKARO_CORPUS");

  public static void main(String[] args) throws Exception {
    velkaro = Path.of(args[0]).toAbsolutePath();
    examples = Path.of(args[1]).toAbsolutePath();
    midlets = Files.createTempDirectory("velkaro-midlets");
    boolean ok = Check.run(RealPackageTest.class, () -> {
      RecordStore.reset();
      MIDlet.properties.clear();
      Canvas.screenWidth = Canvas.screenHeight = 128;
    });
    Check.deleteTree(midlets);
    System.exit(ok ? 0 : 1);
  }

  /** Builds the book of a project file and returns its packages, first part first. */
  static List<Path> build(Path project, String bookName) throws Exception {
    String[] command = {velkaro.toString(), project.toString(), "-o", midlets.toString()};
    Process p = new ProcessBuilder(command)
        .directory(project.getParent().toFile()).inheritIO().start();
    Check.equal(0, p.waitFor(), "velkaro exit code");
    List<Path> jars = new ArrayList<>();
    try (Stream<Path> files = Files.list(midlets)) {
      files.filter(f -> f.getFileName().toString().matches(bookName + "\\d*\\.jar")).sorted(
          (a, b) -> a.getFileName().toString().length() != b.getFileName().toString().length()
              ? a.getFileName().toString().length() - b.getFileName().toString().length()
              : a.compareTo(b)).forEach(jars::add);
    }
    Check.that(!jars.isEmpty(), "no package " + bookName + " in " + midlets);
    return jars;
  }

  static void testTextBookFirstLinePagingAndMenu() throws Exception {
    List<Path> jars = build(examples.resolve("text-book/gull-island.ini"), "GullIsland");
    Check.that(jars.size() >= 3, "the example book has three parts");
    List<String> headings = new ArrayList<>();  // "<pN>" opens a heading line of level N
    for (String line : Files.readAllLines(examples.resolve("text-book/gull-island.txt"))) {
      if (!line.startsWith("<p")) continue;
      String title = line.substring(line.indexOf('>') + 1);
      int level = line.charAt(2) - '0';
      // A title longer than 30 letters ends at its last word within them.
      if (title.length() > 30) title = title.substring(0, title.lastIndexOf(' ', 30)).trim();
      headings.add("  ".repeat(level - 1) + title);
    }
    Check.equal(10, headings.size(), "headings of the example book");
    for (Path jar : jars) {
      MIDlet.properties.put("MIDlet-Name", jar.getFileName().toString().replace(".jar", ""));
      Phone phone = new Phone(jar);
      phone.press(Canvas.KEY_NUM0);  // ends the splash
      BuiltPackage built = new BuiltPackage(jar);  // later parts begin after the cut's blank
      built.checkLine(phone.screen(), 0, built.firstBookLetters());
      phone.press(Canvas.KEY_NUM5);
      phone.current(javax.microedition.lcdui.List.class).select(0);
      Check.equal(headings, phone.current(javax.microedition.lcdui.List.class).items(),
                  "contents of " + jar.getFileName());
      phone.current().fire("Back");
      BufferedImage before = null;
      for (int i = 0; i < 500; i++) {
        phone.press(Canvas.KEY_NUM6);
        BufferedImage now = phone.screen();
        if (before != null && Phone.same(before, now)) break;
        before = now;
        Check.that(i < 499, "paging never reached the end of " + jar);
      }
      for (int item : new int[] {0, 2, 4}) {  // contents, bookmarks, info open and close again
        phone.press(Canvas.KEY_NUM5);
        phone.current(javax.microedition.lcdui.List.class).select(item);
        phone.current().fire("Back");
      }
      phone.press(Canvas.KEY_NUM5);
      phone.current(javax.microedition.lcdui.List.class).select(3);
      phone.current(TextBox.class).enter("lamp", "OK");
      phone.screen();
      phone.press(Canvas.KEY_NUM5);
      phone.current(javax.microedition.lcdui.List.class).select(4);
      Check.that(phone.current(Form.class).text().contains("Velkaro"), "info names the tool");
    }
  }

  /**
   * CJK books drawn with a desktop CJK font, whose pages take letters from many font files: a
   * page turn reads each font file at most once, drawing the page again reads none, and the
   * reader's heap stays within 200 KB. Prints the reads per page turn and the heap.
   */
  static void testCjkPagesReadEachFontFileOnce() throws Exception {
    if (CORPUS == null || !Files.isDirectory(Path.of(CORPUS, "texts"))) {
      System.out.println("SKIP no corpus");
      return;
    }
    String[][] table = {{"Tang", "zh_tang300.utf8.txt", "240", "320"},
                        {"Tosa", "ja_tosa_nikki.utf8.txt", "176", "208"}};
    Path scratch = Files.createTempDirectory("velkaro-cjk");
    for (String[] row : table) {
      Canvas.screenWidth = Integer.parseInt(row[2]);
      Canvas.screenHeight = Integer.parseInt(row[3]);
      RecordStore.reset();
      Path project = writeProject(scratch.resolve(row[0]), row[0],
          new Settings(0, 0, 0, 0, true, 1), Files.readString(Path.of(CORPUS, "texts", row[1])));
      Files.writeString(project, Files.readString(project)
          .replace("FontSize=8", "FontSize=9").replace("DejaVu Sans", "WenQuanYi Zen Hei"));
      Phone phone = new Phone(build(project, row[0]).get(0));
      phone.screen();
      int turns = 40, reads = 0;
      for (int turn = 0; turn < turns; turn++) {
        phone.reads.clear();
        phone.press(Canvas.KEY_NUM6);
        phone.screen();
        List<String> fontReads = phone.reads.stream().filter(r -> r.startsWith("font")).toList();
        Check.equal((long) fontReads.size(), fontReads.stream().distinct().count(),
                    row[0] + " page turn " + turn + " reads " + fontReads);
        reads += fontReads.size();
        phone.reads.clear();
        phone.screen();
        Check.equal(List.of(), phone.reads, row[0] + " page " + turn + " drawn again");
      }
      long heap = TextBookTest.retainedBytes(phone.midlet);
      System.out.printf("%s: %.1f font file reads per page turn, reader heap %d bytes%n", row[0],
                        reads / (double) turns, heap);
      Check.that(heap < 200_000, row[0] + ": the reader holds " + heap + " bytes");
    }
    Check.deleteTree(scratch);
  }

  /** Project settings that reach the reader through cfg.dat, and the packages' deflate level. */
  record Settings(int password, int passwordMode, int lineSpacing, int charSpacing,
                  boolean portrait, int compression) {}

  /**
   * Books that the tool builds with a desktop font, a password in each mode, line and letter
   * spacing and either layout: the reader takes the password, draws the letters of the font
   * files where the settings put them, pages back to every page, and asks again only in mode 2.
   */
  static void testBuiltBooksWithPasswordSpacingAndLayout() throws Exception {
    Settings[] table = {new Settings(4321, 1, 2, 1, false, 9),
                        new Settings(70000, 2, -1, 2, true, 1),
                        new Settings(999, 0, 1, 0, false, 9), new Settings(0, 0, 0, 3, true, 6)};
    StringBuilder text = new StringBuilder("First line\nSecond line\n");
    for (int k = 1; k <= 30; k++) {
      text.append("Paragraph " + k + " wraps, with commas; and stops.\n");
    }
    Path scratch = Files.createTempDirectory("velkaro-books");
    for (int row = 0; row < table.length; row++) {
      Settings s = table[row];
      RecordStore.reset();
      String name = "Settings" + row;
      Path project = writeProject(scratch.resolve(name), name, s, text.toString());
      Path jar = build(project, name).get(0);
      BuiltPackage built = new BuiltPackage(jar);
      Check.equal(s.portrait, built.portrait, "layout in cfg.dat of " + s);
      Phone phone = new Phone(jar);
      if (s.passwordMode != 0) enterPassword(phone, s.password);
      BufferedImage first = phone.screen();
      built.checkLine(first, 0, "First line");
      built.checkLine(first, 1, "Second line");
      List<BufferedImage> pages = phone.pageToEnd();
      Check.that(pages.size() > 2, s + ": " + pages.size() + " pages");
      phone.pageBackThrough(pages, s.toString());
      phone.exit();
      Phone again = new Phone(jar);
      if (s.passwordMode == 2) enterPassword(again, s.password);
      Check.that(Phone.same(first, again.screen()), s + ": the book opens at once after a restart");
    }
    Check.deleteTree(scratch);
  }

  /**
   * The KJV in packages of at most 64 KB at the highest compression: every package fits, and
   * the first and the last show their first lines and page to their ends and back.
   */
  static void testKjvPackagesWithinSixtyFourKilobytes() throws Exception {
    if (CORPUS == null || !Files.isDirectory(Path.of(CORPUS, "texts"))) {
      System.out.println("SKIP no corpus");
      return;
    }
    Canvas.screenWidth = 240;  // a part is a few dozen pages of this screen
    Canvas.screenHeight = 320;
    Path scratch = Files.createTempDirectory("velkaro-budget");
    Path project = writeProject(scratch.resolve("KjvBudget"), "KjvBudget",
        new Settings(0, 0, 0, 0, true, 9),
        Files.readString(Path.of(CORPUS, "texts", "en_kjv_bible.utf8.txt")), "MaxJarSize=65536");
    List<Path> jars = build(project, "KjvBudget");
    Check.that(jars.size() > 40, jars.size() + " packages");
    for (Path jar : jars) {
      Check.that(Files.size(jar) <= 65536, jar + " has " + Files.size(jar) + " bytes");
    }
    Path last = jars.get(jars.size() - 1);  // the rest of the book, however little
    for (Path jar : List.of(jars.get(0), last)) {
      BuiltPackage built = new BuiltPackage(jar);
      Phone phone = new Phone(jar);
      built.checkLine(phone.screen(), 0, built.firstBookLetters());
      List<BufferedImage> pages = phone.pageToEnd();
      Check.that(pages.size() > (jar == last ? 1 : 20), jar + ": " + pages.size() + " pages");
      phone.pageBackThrough(pages, jar.toString());
    }
    Check.deleteTree(scratch);
  }

  /** A wrong number is refused, the right one opens the book. */
  static void enterPassword(Phone phone, int password) {
    TextBox box = phone.current(TextBox.class);
    box.enter(Integer.toString(password + 1), "OK");
    Check.equal("Wrong password", phone.display.takeAlert().getString(), "a wrong password");
    box.enter(Integer.toString(password), "OK");
    phone.canvas();
  }

  /**
   * A project folder with the book's text and its project file, which it returns; more
   * [Options] keys may follow the settings.
   */
  static Path writeProject(Path folder, String bookName, Settings s, String text,
                           String... moreOptions) throws Exception {
    Files.createDirectories(folder);
    Files.writeString(folder.resolve("book.txt"), text);
    String project = String.join("\n", "[Colors]", "FontColor=4210752", "BackColor=15794175",
        "[Font]", "FontSize=8", "FontName=DejaVu Sans", "Font.Bold=0", "Font.Italic=0", "Type=0",
        "[Options]", "BookMode=1", "BookName=" + bookName, "BookInfo=A built test book",
        "PartSize=100000", "LineSpacing=" + s.lineSpacing, "CharSpacing=" + s.charSpacing,
        "WordWrap=1", "PortraitLayout=" + (s.portrait ? 1 : 0), "Format=0", "Tags=0",
        "Password=" + s.password, "PasswordMode=" + s.passwordMode,
        "Compression=" + s.compression, String.join("\n", moreOptions), "[Files]",
        "TextFileName=book.txt", "");
    Files.writeString(folder.resolve(bookName + ".ini"), project);
    return folder.resolve(bookName + ".ini");
  }

  static void testPhotoBookShowsItsPictures() throws Exception {
    Path jar = build(examples.resolve("photo-book/seaside.ini"), "Seaside").get(0);
    Phone phone = new Phone(jar);
    phone.press(Canvas.KEY_NUM0);  // ends the splash
    try (ZipFile zip = new ZipFile(jar.toFile())) {
      for (int i = 0; i < 4; i++) {
        BufferedImage picture = ImageIO.read(zip.getInputStream(zip.getEntry(i + ".png")));
        phone.press(Canvas.KEY_FIRE);  // hides the note, so the picture is centred
        BufferedImage screen = phone.screen();
        int x = 64;  // the picture's middle column lies in the screen's middle column
        int y = (128 - picture.getHeight()) / 2 + picture.getHeight() / 2;
        Check.equal(Integer.toHexString(picture.getRGB(picture.getWidth() / 2, picture.getHeight() / 2) & 0xFFFFFF),
                    Integer.toHexString(screen.getRGB(x, y) & 0xFFFFFF), "centre of picture " + i);
        phone.press(Canvas.KEY_FIRE, Canvas.KEY_RIGHT);
      }
    }
  }

  /**
   * Books made from documents with "Format text for displaying" on show every paragraph on a line
   * of its own: the formatting step ends each with one carriage return, which ends the line.
   */
  static void testDocumentBooksShowEachParagraphOnItsOwnLine() throws Exception {
    if (CORPUS == null || !Files.isDirectory(Path.of(CORPUS, "docx"))) {
      System.out.println("SKIP no corpus");
      return;
    }
    String[][] table = {
        {"docx/pandoc_lists_libreoffice_bullets_vs_numbers.docx", "Some nested lists", " 1. one",
         " 2. two", " a. a", " b. b"},
        {"fb2/pandoc_test_writer_nested_sections_notes.fb2", "Pandoc Test Suite", " This is a"}};
    Path scratch = Files.createTempDirectory("velkaro-documents");
    for (int row = 0; row < table.length; row++) {
      String name = "Document" + row;
      Path project = writeProject(scratch.resolve(name), name, new Settings(0, 0, 0, 0, true, 1), "");
      Files.writeString(project, Files.readString(project).replace("Format=0", "Format=1")
          .replace("TextFileName=book.txt", "TextFileName=" + Path.of(CORPUS, table[row][0])));
      Path jar = build(project, name).get(0);
      Phone phone = new Phone(jar);
      BuiltPackage built = new BuiltPackage(jar);
      BufferedImage first = phone.screen();
      for (int line = 1; line < table[row].length; line++) {
        built.checkLine(first, line - 1, table[row][line]);
      }
    }
    Check.deleteTree(scratch);
  }

  /** A book made from an illustrated EPUB lists its chapters and shows its pictures. */
  static void testEpubBookShowsItsContentsAndPictures() throws Exception {
    if (CORPUS == null || !Files.isDirectory(Path.of(CORPUS, "epub"))) {
      System.out.println("SKIP no corpus");
      return;
    }
    Path folder = Files.createTempDirectory("velkaro-epub");
    Path epub = Path.of(CORPUS, "epub", "epubjs_alice_illustrated_28_jpegs.epub");
    Files.writeString(folder.resolve("alice.ini"), String.join("\n",
        "[Options]", "BookMode=1", "BookName=AliceEpub", "PartSize=1000000", "WordWrap=1",
        "PortraitLayout=1", "Format=1", "Tags=0", "ImageMode=1", "ImageSize=1000000",
        "[Files]", "TextFileName=" + epub, ""));
    Path jar = build(folder.resolve("alice.ini"), "AliceEpub").get(0);
    try (ZipFile zip = new ZipFile(jar.toFile())) {
      Check.that(zip.getEntry("pic1.jpg") != null, "the first picture is in the package");
    }
    Phone phone = new Phone(jar);
    phone.press(Canvas.KEY_NUM0);  // ends the splash
    phone.press(Canvas.KEY_NUM5);
    phone.current(javax.microedition.lcdui.List.class).select(0);
    List<String> contents = phone.current(javax.microedition.lcdui.List.class).items();
    Check.that(contents.stream().anyMatch(s -> s.contains("Down The Rabbit-Hole")),
               "contents list the first chapter: " + contents);
    Check.that(contents.stream().anyMatch(s -> s.contains("Alice's Evidence")),
               "contents list the last chapter: " + contents);
    phone.current().fire("Back");
    boolean pictureSeen = false;
    for (int i = 0; i < 300 && !pictureSeen; i++) {
      pictureSeen = colours(phone.screen()) > 16;  // text alone has ink and back colour
      phone.press(Canvas.KEY_NUM6);
    }
    Check.that(pictureSeen, "a page shows a picture");
  }

  static int colours(BufferedImage screen) {
    java.util.Set<Integer> seen = new java.util.HashSet<>();
    for (int y = 0; y < screen.getHeight(); y++) {
      for (int x = 0; x < screen.getWidth(); x++) seen.add(screen.getRGB(x, y));
    }
    return seen.size();
  }
}
