package midlettest;

import java.awt.image.BufferedImage;
import java.io.BufferedOutputStream;
import java.io.OutputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import javax.microedition.lcdui.Canvas;

/**
 * Writes the first page that a text-book package shows on a phone screen of the given size as a
 * binary PPM picture, for the tool's screen preview to be compared with.
 * Usage: FirstPage PACKAGE SCREEN_WIDTH SCREEN_HEIGHT OUTPUT.ppm
 */
public final class FirstPage {
  public static void main(String[] args) throws Exception {
    Canvas.screenWidth = Integer.parseInt(args[1]);
    Canvas.screenHeight = Integer.parseInt(args[2]);
    Phone phone = new Phone(Path.of(args[0]));
    phone.press(Canvas.KEY_NUM0);  // ends a splash; on the page it does nothing
    BufferedImage screen = phone.screen();
    try (OutputStream out = new BufferedOutputStream(Files.newOutputStream(Path.of(args[3])))) {
      out.write(("P6\n" + screen.getWidth() + " " + screen.getHeight() + "\n255\n").getBytes("US-ASCII"));
      for (int y = 0; y < screen.getHeight(); y++) {
        for (int x = 0; x < screen.getWidth(); x++) {
          int rgb = screen.getRGB(x, y);
          out.write(rgb >> 16 & 255);
          out.write(rgb >> 8 & 255);
          out.write(rgb & 255);
        }
      }
    }
  }
}
