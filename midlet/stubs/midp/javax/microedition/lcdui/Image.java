package javax.microedition.lcdui;
public class Image {
  Image() {}
  public static native Image createImage(int width, int height);
  public static native Image createImage(Image source);
  public static native Image createImage(String name) throws java.io.IOException;
  public static native Image createImage(byte[] data, int offset, int length);
  public native Graphics getGraphics();
  public native int getWidth();
  public native int getHeight();
  public native boolean isMutable();
}
