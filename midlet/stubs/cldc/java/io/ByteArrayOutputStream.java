package java.io;
public class ByteArrayOutputStream extends OutputStream {
  public ByteArrayOutputStream() {}
  public ByteArrayOutputStream(int size) {}
  public native void write(int b);
  public native int size();
  public native void reset();
  public native byte[] toByteArray();
}
