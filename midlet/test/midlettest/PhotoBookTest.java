package midlettest;

import java.awt.image.BufferedImage;
import java.io.ByteArrayOutputStream;
import java.io.DataOutputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import javax.imageio.ImageIO;
import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Form;
import javax.microedition.midlet.MIDlet;
import javax.microedition.rms.RecordStore;

/** The photo-book viewer, run from its real class files on the desktop stand-in. */
public final class PhotoBookTest {
  private static final int BACK = 0x203040;
  private static Path embedded, temp;
  private static int packages;

  public static void main(String[] args) throws Exception {
    embedded = Path.of(args[0]);
    temp = Files.createTempDirectory("photo-test");
    boolean ok = Check.run(PhotoBookTest.class, () -> {
      RecordStore.reset();
      MIDlet.properties.clear();
      Canvas.screenWidth = Canvas.screenHeight = 128;
    });
    Check.deleteTree(temp);
    System.exit(ok ? 0 : 1);
  }

  /** A gallery package: picture i is a w x h rectangle of colours[i], or missing when w is 0. */
  static Path gallery(int[][] sizes, int[] colours, String[] notes) throws Exception {
    Path dir = temp.resolve("photo" + packages++);
    Files.createDirectories(dir);
    for (String name : new String[] {"TBookCanvas.class", "TBookN1Canvas.class", "TBookN2Canvas.class",
                                     "TBookCanvasInit.class"}) {
      Files.copy(embedded.resolve(name), dir.resolve(name));
    }
    Files.copy(embedded.resolve("photo/TBookMIDlet.class"), dir.resolve("TBookMIDlet.class"));
    ByteArrayOutputStream bytes = new ByteArrayOutputStream();
    DataOutputStream cfg = new DataOutputStream(bytes);
    cfg.writeInt(sizes.length);
    for (int v : new int[] {BACK >> 16, BACK >> 8 & 255, BACK & 255}) cfg.writeInt(v);
    BookPackage.writeText(cfg, "Seaside pictures");
    BookPackage.writeText(cfg, "4.7.0");
    for (int i = 0; i < sizes.length; i++) {
      BookPackage.writeText(cfg, "PNG");
      BookPackage.writeText(cfg, notes[i]);
      if (sizes[i][0] == 0) continue;
      BufferedImage image = new BufferedImage(sizes[i][0], sizes[i][1], BufferedImage.TYPE_INT_RGB);
      for (int y = 0; y < sizes[i][1]; y++) for (int x = 0; x < sizes[i][0]; x++) image.setRGB(x, y, colours[i]);
      ImageIO.write(image, "png", dir.resolve(i + ".PNG").toFile());
    }
    Files.write(dir.resolve("cfg.dat"), bytes.toByteArray());
    return dir;
  }

  static Path threePictures() throws Exception {
    return gallery(new int[][] {{40, 30}, {20, 20}, {100, 124}}, new int[] {0xFF0000, 0x00FF00, 0x0000FF},
                   new String[] {"Sunrise", "", "A lighthouse on the rocks of the island at dusk"});
  }

  static int rgb(Phone phone, int x, int y) {
    return phone.screen().getRGB(x, y) & 0xFFFFFF;
  }

  static void testPictureCentredWithItsNoteBelow() throws Exception {
    Phone phone = new Phone(threePictures());
    // 30 rows of picture and one 10-row note line, centred together: the picture from row 44.
    Check.equal(BACK, rgb(phone, 64, 43), "back colour above the picture");
    Check.equal(0xFF0000, rgb(phone, 44, 44), "picture's top left corner");
    Check.equal(0xFF0000, rgb(phone, 83, 73), "picture's bottom right corner");
    Check.equal(List.of("43,74:Sunrise"), phone.canvas().drawnText(), "note right below the picture, centred");
    phone.press(Canvas.KEY_FIRE);
    Check.equal(0xFF0000, rgb(phone, 44, 49), "without its note the picture is centred alone");
    Check.equal(List.of(), phone.canvas().drawnText(), "note hidden");
  }

  static void testNextAndPreviousWrapAround() throws Exception {
    Phone phone = new Phone(threePictures());
    phone.press(Canvas.KEY_RIGHT);
    Check.equal(0x00FF00, rgb(phone, 64, 64), "second picture");
    phone.press(Canvas.KEY_NUM4, Canvas.KEY_NUM4);
    Check.equal(0x0000FF, rgb(phone, 64, 64), "back from the first to the last");
    phone.press(Canvas.KEY_DOWN);
    Check.equal(0xFF0000, rgb(phone, 64, 50), "from the last on to the first");
  }

  static void testLongNoteWrapsOverATallPicture() throws Exception {
    Phone phone = new Phone(threePictures());
    phone.press(Canvas.KEY_NUM7);
    phone.screen();
    List<String> lines = phone.canvas().drawnText();
    Check.equal(List.of("7,98:A lighthouse on the", "7,108:rocks of the island", "43,118:at dusk"), lines,
                "note lines at the bottom, centred");
    Check.equal(BACK, rgb(phone, 20, 99), "note over the picture on the back colour");
    Check.equal(0x0000FF, rgb(phone, 20, 97), "picture above the note");
  }

  static void testMissingPictureShowsAFrame() throws Exception {
    Phone phone = new Phone(gallery(new int[][] {{0, 0}}, new int[] {0}, new String[] {""}));
    Check.equal(0x000000, rgb(phone, 32, 54), "frame");
    Check.equal(0xFFFF00, rgb(phone, 40, 58), "filling");
  }

  static void testLastPictureIsRememberedAndInfoShown() throws Exception {
    Path pkg = threePictures();
    Phone phone = new Phone(pkg);
    phone.press(Canvas.KEY_NUM6);
    phone.exit();
    Phone again = new Phone(pkg);
    Check.equal(0x00FF00, rgb(again, 64, 64), "second picture after the restart");
    again.canvas().fire("Menu");
    again.current(javax.microedition.lcdui.List.class).select(1);
    String info = again.current(Form.class).text();
    Check.that(info.contains("Seaside pictures") && info.contains("4.7.0") && info.contains("Pictures: 3"),
               "info: " + info);
  }

  static void testSlideshowAdvancesUntilAKey() throws Exception {
    Phone phone = new Phone(threePictures());
    phone.canvas().fire("Menu");
    phone.current(javax.microedition.lcdui.List.class).select(0);
    Thread.sleep(4500);
    Check.equal(0x00FF00, rgb(phone, 64, 64), "advanced after four seconds");
    phone.press(Canvas.KEY_NUM1);  // stops the slideshow only
    Thread.sleep(4500);
    Check.equal(0x00FF00, rgb(phone, 64, 64), "stopped by the key");
  }
}
