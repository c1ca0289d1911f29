package java.io;
public class ByteArrayInputStream extends InputStream {
  public ByteArrayInputStream(byte[] buf) {}
  public ByteArrayInputStream(byte[] buf, int offset, int length) {}
  public native int read();
}
