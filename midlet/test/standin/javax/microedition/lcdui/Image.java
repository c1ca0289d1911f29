package javax.microedition.lcdui;

import java.awt.image.BufferedImage;
import java.io.ByteArrayInputStream;
import java.io.IOException;
import java.io.InputStream;
import javax.imageio.ImageIO;

/** Desktop stand-in over a BufferedImage; resources come from the caller's class loader. */
public class Image {
  final BufferedImage image;
  private final boolean mutable;

  private Image(BufferedImage image, boolean mutable) {
    this.image = image;
    this.mutable = mutable;
  }

  public static Image createImage(int width, int height) {
    BufferedImage image = new BufferedImage(width, height, BufferedImage.TYPE_INT_RGB);
    java.awt.Graphics g = image.getGraphics();
    g.setColor(java.awt.Color.WHITE);
    g.fillRect(0, 0, width, height);
    return new Image(image, true);
  }

  public static Image createImage(String name) throws IOException {
    Class<?> caller = StackWalker.getInstance(StackWalker.Option.RETAIN_CLASS_REFERENCE).getCallerClass();
    InputStream in = caller.getResourceAsStream(name);
    if (in == null) throw new IOException("no resource " + name);
    BufferedImage image = ImageIO.read(in);
    if (image == null) throw new IOException("can not decode " + name);
    return new Image(image, false);
  }

  public static Image createImage(byte[] data, int offset, int length) {
    try {
      BufferedImage image = ImageIO.read(new ByteArrayInputStream(data, offset, length));
      if (image == null) throw new IllegalArgumentException("can not decode");
      return new Image(image, false);
    } catch (IOException e) {
      throw new IllegalArgumentException(e.toString());
    }
  }

  public Graphics getGraphics() {
    if (!mutable) throw new IllegalStateException("immutable image");
    return new Graphics(image);
  }

  public int getWidth() {
    return image.getWidth();
  }

  public int getHeight() {
    return image.getHeight();
  }

  public boolean isMutable() {
    return mutable;
  }
}
