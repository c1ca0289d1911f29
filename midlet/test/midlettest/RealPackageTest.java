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
 * end, the menu works, and the gallery shows its pictures.
 * Usage: RealPackageTest VELKARO_EXECUTABLE EXAMPLES_FOLDER
 */
public final class RealPackageTest {
  private static Path velkaro, examples;

  public static void main(String[] args) throws Exception {
    velkaro = Path.of(args[0]);
    examples = Path.of(args[1]);
    boolean ok = Check.run(RealPackageTest.class, () -> {
      RecordStore.reset();
      MIDlet.properties.clear();
      Canvas.screenWidth = Canvas.screenHeight = 128;
    });
    System.exit(ok ? 0 : 1);
  }

  /** Builds an example book and returns its packages, first part first. */
  static List<Path> build(String folder, String ini, String bookName) throws Exception {
    Process p = new ProcessBuilder(velkaro.toString(), examples.resolve(folder).resolve(ini).toString())
        .directory(examples.resolve(folder).toFile()).inheritIO().start();
    Check.equal(0, p.waitFor(), "velkaro exit code");
    Path midlets = velkaro.getParent().resolve("midlets");
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

  static DataInputStream entry(ZipFile jar, String name) throws IOException {
    InputStream in = jar.getInputStream(jar.getEntry(name));
    return new DataInputStream(in);
  }

  static void testTextBookFirstLinePagingAndMenu() throws Exception {
    List<Path> jars = build("text-book", "gull-island.ini", "GullIsland");
    for (Path jar : jars) {
      MIDlet.properties.put("MIDlet-Name", jar.getFileName().toString().replace(".jar", ""));
      Phone phone = new Phone(jar);
      phone.press(Canvas.KEY_NUM0);  // ends the splash
      if (jar == jars.get(0)) checkFirstLine(jar, phone.screen());
      BufferedImage before = null;
      for (int i = 0; i < 500; i++) {
        phone.press(Canvas.KEY_NUM6);
        BufferedImage now = phone.screen();
        if (before != null && same(before, now)) break;
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

  /** The first line's letters, drawn from the package's font files, from x = 1 in its colours. */
  static void checkFirstLine(Path path, BufferedImage screen) throws Exception {
    try (ZipFile jar = new ZipFile(path.toFile())) {
      DataInputStream cfg = entry(jar, "cfg.dat");
      int[] settings = new int[11];
      for (int i = 0; i < 11; i++) settings[i] = cfg.readInt();
      int back = settings[5] << 16 | settings[6] << 8 | settings[7];
      int ink = settings[8] << 16 | settings[9] << 8 | settings[10];
      Map<Integer, int[]> glyphs = new HashMap<>();
      List<Integer> words = new ArrayList<>();
      for (int n = 0; jar.getEntry("font" + n + ".dat") != null; n++) {
        DataInputStream font = entry(jar, "font" + n + ".dat");
        for (int left = (int) jar.getEntry("font" + n + ".dat").getSize() / 4; left > 0; left--) {
          words.add(font.readInt());
        }
      }
      Check.that(!words.isEmpty(), "package has font files");
      for (int group = 0, i = 1; group < 16; group++) {
        int end = i + 1 + words.get(i);
        for (i++; i < end; i += 2 + words.get(i + 1)) {
          int[] columns = new int[words.get(i + 1)];
          for (int x = 0; x < columns.length; x++) columns[x] = words.get(i + 2 + x);
          glyphs.put(words.get(i), columns);
        }
      }
      int height = Math.min(words.get(0), 32);
      DataInputStream book = entry(jar, "book0.dat");
      int x = 1, checked = 0;
      for (int c = book.readChar(); c != '\n' && checked < 12; c = book.readChar(), checked++) {
        int[] columns = glyphs.get(c);
        for (int dx = 0; dx < columns.length; dx++) {
          for (int y = 0; y < height; y++) {
            int expected = (columns[dx] >>> y & 1) != 0 ? ink : back;
            Check.equal(Integer.toHexString(expected), Integer.toHexString(screen.getRGB(x + dx, 1 + y) & 0xFFFFFF),
                        "letter " + (char) c + " at " + (x + dx) + "," + (1 + y) + " of " + path.getFileName());
          }
        }
        x += columns.length + settings[2];
      }
      Check.that(checked > 0, "first line has letters");
    }
  }

  static boolean same(BufferedImage a, BufferedImage b) {
    for (int y = 0; y < a.getHeight(); y++) {
      for (int x = 0; x < a.getWidth(); x++) if (a.getRGB(x, y) != b.getRGB(x, y)) return false;
    }
    return true;
  }

  static void testPhotoBookShowsItsPictures() throws Exception {
    Path jar = build("photo-book", "seaside.ini", "Seaside").get(0);
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
}
